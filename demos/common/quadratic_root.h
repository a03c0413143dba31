// The root of a face's intersection quadratic qa*s^2 + qb*s + qc = 0 that both lens programs
// take, computed so that a nearly horizontal ray at a parabola (qa tiny) lands where the
// horizontal ray does.
#pragma once

namespace demo {

// The root (-qb - sqrt(D)) / (2qa), or with plusRoot (-qb + sqrt(D)) / (2qa), for a
// discriminant D >= 0. Where -qb and the sign-carrying sqrt(D) would cancel, the same root is
// taken in its conjugate form 2qc / (-qb +- sqrt(D)). qa = 0 leaves a linear equation, whose one
// root -qc/qb is taken (for qb < 0 the limit of the minus root).
double QuadraticRoot(double qa, double qb, double qc, double D, bool plusRoot);

}  // namespace demo
