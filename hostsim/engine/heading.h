// Headings, in degrees: 0 faces +y and the heading grows to the left, as the
// host's offset points do. Shared by the player's walk, the points placed in
// front of it, and driving, so that all of them turn the same way.
//
// Natively and under Wine these must come out the same to the last bit: the
// trigonometry is done in double and rounded to float at once, since the two
// C libraries' float sine and cosine differ in the last bits, while a correctly
// rounded double rounded to float agrees.
#pragma once

namespace hostsim {

// The unit vector the heading faces.
void DirectionOf(float heading, float* dx, float* dy);

// The heading that faces along (dx, dy), in [0, 360).
float HeadingTowards(float dx, float dy);

// The heading turned by the degrees (positive: to the left), in [0, 360).
float Turned(float heading, float degrees);

}  // namespace hostsim
