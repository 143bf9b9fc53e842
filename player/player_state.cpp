#include "player/player_state.h"

static float g_zoom = 1.0f;

float ZoomFactor() { return g_zoom; }
void SetZoomFactor(float zoom) { g_zoom = zoom; }
