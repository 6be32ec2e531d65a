#include "core/LayeredTransform.h"

#include <cmath>

namespace orma {

void transformBelowTop(int layers, const double* rho, const double* h, const double* lambda, int begin, int end,
                       double* out) {
    for (int i = begin; i < end; ++i) out[i] = rho[layers - 1];
    for (int layer = layers - 2; layer >= 0; --layer) {
        const double r = rho[layer];
        const double twoH = 2.0 * h[layer];
        for (int i = begin; i < end; ++i) {
            const double x = twoH * lambda[i];
            if (x > kOpaqueLayer) {
                out[i] = r;
                continue;
            }
            // (w + t) / (t w / r^2 + 1) with w = r tanh(x / 2) = -r em / (2 + em),
            // brought onto one division; expm1 keeps thin layers precise.
            const double em = std::expm1(-x);
            const double t = out[i];
            out[i] = r * (t * (2.0 + em) - r * em) / (r * (2.0 + em) - t * em);
        }
    }
    const double top = rho[0];
    for (int i = begin; i < end; ++i) out[i] -= top;
}

void differentiateTransform(double u, int layers, const double* rho, const double* h,
                            std::array<double, kMaxLayers>& dRho, std::array<double, kMaxLayers>& dH) {
    // Layers are 1-based here: rho[k - 1] and h[k - 1] belong to layer k.
    std::array<double, kMaxLayers + 1> t;  // t[k] = T(k), transform at the top of layer k
    std::array<double, kMaxLayers + 1> w;
    std::array<double, kMaxLayers + 1> x;
    t[layers] = rho[layers - 1];
    for (int k = layers - 1; k >= 1; --k) {
        const double r = rho[k - 1];
        w[k] = std::exp(-2.0 * h[k - 1] / u);
        x[k] = r * (1.0 - w[k]) / (1.0 + w[k]);
        t[k] = (x[k] + t[k + 1]) / (x[k] * t[k + 1] / (r * r) + 1.0);
    }

    // p = dT1/dT(k): the chain of the layers above layer k + 1.
    double p = 1.0;
    for (int k = 1; k <= layers - 1; ++k) {
        const double r = rho[k - 1];
        const double r2 = r * r;
        const double below = t[k + 1];
        const double root = x[k] * below / r2 + 1.0;
        const double q = root * root;
        const double dTdX = (1.0 - below * below / r2) / q;
        const double onePlusW = 1.0 + w[k];
        dH[k - 1] = p * dTdX * 4.0 * r * w[k] / (onePlusW * onePlusW * u);
        dRho[k - 1] = p * (2.0 * (x[k] + below) * x[k] * below / (q * r2 * r) + dTdX * x[k] / r);
        p *= (1.0 - x[k] * x[k] / r2) / q;
    }
    dRho[layers - 1] = p;
}

}  // namespace orma
