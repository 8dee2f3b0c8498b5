// The Illinois regula falsi.
#include "numeric/regula_falsi.h"

#include <cmath>

double regulaFalsi(const std::function<double(double)>& f, double a, double b, double tolerance)
{
    double fa = f(a);
    double fb = f(b);
    if (!std::isfinite(fa) || !std::isfinite(fb) || (fa > 0) == (fb > 0)) return NAN;
    int side = 0;
    for (int i = 0; i < 200 && std::fabs(b - a) > tolerance; ++i) {
        double c = (a * fb - b * fa) / (fb - fa);
        if (!(c > std::fmin(a, b) && c < std::fmax(a, b))) c = 0.5 * (a + b);
        const double fc = f(c);
        if (!std::isfinite(fc)) return NAN;
        if (fc == 0) return c;
        if ((fc > 0) == (fb > 0)) {
            b = c;
            fb = fc;
            if (side == -1) fa *= 0.5;
            side = -1;
        } else {
            a = c;
            fa = fc;
            if (side == 1) fb *= 0.5;
            side = 1;
        }
    }
    return std::fabs(fa) < std::fabs(fb) ? a : b;
}
