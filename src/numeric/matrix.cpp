// Gauss-Jordan inversion of a block of run-time size.
#include "numeric/matrix.h"

int invertMatrix(Matrix4& a, Matrix4& inv, int n)
{
    switch (n) {
    case 0:
        return 1;
    case 1:
        return invertFixedSize<1>(a, inv);
    case 2:
        return invertFixedSize<2>(a, inv);
    case 3:
        return invertFixedSize<3>(a, inv);
    default:
        return invertFixedSize<4>(a, inv);
    }
}
