// Resource identifiers shared by the resource script and the windows.
#pragma once

#define IDI_TARNWATCH_YELLOW 101
#define IDI_TARNWATCH_BLUE 102
