// Ellipse geometry of the ellipse marks: the corners of a polygon approximating a rotated ellipse.
#ifndef TREMWIL_ELLIPSE_H
#define TREMWIL_ELLIPSE_H

// steps corners (36 when steps < 1) of the ellipse centred at (x, y) with half-axes a and b, the first axis
// turned angle degrees counter-clockwise on screen; corner 0 is the end of the first axis. xy must hold
// that many corners. Half-axes that are not finite or beyond any page are bounded, so every corner is a
// valid int far off the page at worst.
void calculateEllipse(double x, double y, double a, double b, double angle, int steps, int xy[][2]);

// The same from two axis vectors: the first gives direction and first half-axis, the second only the length
// of the other half-axis (always perpendicular to the first).
void calculateEllipse2(double x, double y, double dx1, double dy1, double dx2, double dy2, int steps, int xy[][2]);

#endif // TREMWIL_ELLIPSE_H
