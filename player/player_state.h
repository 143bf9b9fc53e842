// State the player shares process-wide.
#pragma once

// The zoom factor of the score view, shared by the player window and the
// score list that draws its pages.
float ZoomFactor();
void SetZoomFactor(float zoom);
