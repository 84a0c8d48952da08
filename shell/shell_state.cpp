#include "shell/shell_state.h"

uint8_t needsFirstPaint = 1;
uint8_t isMinimized = 0;
uint8_t aboutOpen = 0;
uint8_t attractTicks = 0;
int8_t attractStage = 1;
int8_t minimizedFrame = 1;
int8_t minimizedStep = 1;
