#include "IndependentForward.h"

#include <array>
#include <cmath>

#include "core/HankelFilterJ1.h"

namespace orma::accuracy {

namespace {

constexpr int kMaxParameters = 59;

/// tanh(x) and 1 - tanh(x)^2 without overflow for large x.
void tanhAndSech2(double x, double& t, double& sech2) {
    const double e = std::exp(-2.0 * x);
    t = (1.0 - e) / (1.0 + e);
    sech2 = 4.0 * e / ((1.0 + e) * (1.0 + e));
}

/// T(lambda) and, when wanted, dT / d ln p for every parameter.
double transform(const Earth& earth, double lambda, double* derivative) {
    const int layers = static_cast<int>(earth.rho.size());
    const int params = earth.parameters();
    double T = earth.rho[static_cast<std::size_t>(layers - 1)];
    if (derivative != nullptr) {
        for (int p = 0; p < params; ++p) derivative[p] = 0.0;
        derivative[layers - 1] = T;
    }
    for (int i = layers - 2; i >= 0; --i) {
        const double rho = earth.rho[static_cast<std::size_t>(i)];
        const double h = earth.thickness[static_cast<std::size_t>(i)];
        double t = 0.0, sech2 = 0.0;
        tanhAndSech2(lambda * h, t, sech2);
        const double N = T + rho * t;
        const double D = rho + T * t;
        const double next = rho * N / D;
        if (derivative != nullptr) {
            const double byBelow = rho * rho * sech2 / (D * D);
            const double byRho = N / D + rho * (t * D - N) / (D * D);
            const double byTanh = rho * (rho * rho - T * T) / (D * D);
            for (int p = 0; p < params; ++p) derivative[p] *= byBelow;
            derivative[i] += rho * byRho;
            derivative[layers + i] += h * byTanh * lambda * sech2;
        }
        T = next;
    }
    return T;
}

}  // namespace

void logApparentResistivity(const Earth& earth, const std::vector<double>& spacings, std::vector<double>& logRhoA,
                            std::vector<double>* jacobian) {
    const int params = earth.parameters();
    const double rho1 = earth.rho.front();
    const double h1 = earth.thickness.empty() ? INFINITY : earth.thickness.front();
    logRhoA.assign(spacings.size(), 0.0);
    if (jacobian != nullptr) jacobian->assign(spacings.size() * static_cast<std::size_t>(params), 0.0);
    std::array<double, kMaxParameters> dT{}, dRho{};
    for (std::size_t k = 0; k < spacings.size(); ++k) {
        const double s = spacings[k];
        double sum = 0.0;
        dRho.fill(0.0);
        for (int i = 0; i < kHankelJ1Taps; ++i) {
            const double b = std::exp(kHankelJ1Step * (i - kHankelJ1Centre));
            const double lambda = b / s;
            // Below a top layer this thick (in units of 1/lambda) nothing deeper shows.
            if (lambda * h1 > 40.0) break;
            const double c = kHankelJ1Weights[static_cast<std::size_t>(i)] * b;
            const double T = transform(earth, lambda, jacobian != nullptr ? dT.data() : nullptr);
            sum += c * (T - rho1);
            if (jacobian != nullptr) {
                for (int p = 0; p < params; ++p) dRho[static_cast<std::size_t>(p)] += c * dT[static_cast<std::size_t>(p)];
                dRho[0] -= c * rho1;
            }
        }
        const double rhoA = rho1 + sum;
        logRhoA[k] = std::log(rhoA);
        if (jacobian != nullptr) {
            dRho[0] += rho1;
            for (int p = 0; p < params; ++p)
                (*jacobian)[k * static_cast<std::size_t>(params) + static_cast<std::size_t>(p)] =
                    dRho[static_cast<std::size_t>(p)] / rhoA;
        }
    }
}

double quadratureApparentResistivity(const Earth& earth, double spacing) {
    // rhoA = rho1 + integral_0^inf (T(x / s) - rho1) x J1(x) dx, in pieces of
    // length pi (about the distance between zeros of J1), 20 Gauss-Legendre
    // nodes each, until the kernel has died away below the top layer.
    static const auto rule = [] {
        constexpr int n = 20;
        std::array<std::pair<double, double>, n> nodes{};
        for (int i = 0; i < n; ++i) {
            double x = std::cos(M_PI * (i + 0.75) / (n + 0.5));
            double derivative = 0.0;
            for (int iteration = 0; iteration < 100; ++iteration) {
                double p0 = 1.0, p1 = x;
                for (int k = 2; k <= n; ++k) {
                    const double p2 = ((2.0 * k - 1.0) * x * p1 - (k - 1.0) * p0) / k;
                    p0 = p1;
                    p1 = p2;
                }
                derivative = n * (x * p1 - p0) / (x * x - 1.0);
                const double step = p1 / derivative;
                x -= step;
                if (std::fabs(step) < 1e-16) break;
            }
            nodes[static_cast<std::size_t>(i)] = {x, 2.0 / ((1.0 - x * x) * derivative * derivative)};
        }
        return nodes;
    }();
    const double rho1 = earth.rho.front();
    const double h1 = earth.thickness.empty() ? 0.0 : earth.thickness.front();
    if (h1 <= 0.0) return rho1;
    const double end = spacing * 45.0 / (2.0 * h1);
    double integral = 0.0;
    for (double a = 0.0; a < end; a += M_PI) {
        const double b = a + M_PI;
        for (const auto& [node, weight] : rule) {
            const double x = 0.5 * (a + b) + 0.5 * (b - a) * node;
            const double kernel = transform(earth, x / spacing, nullptr) - rho1;
            integral += 0.5 * (b - a) * weight * kernel * x * std::cyl_bessel_j(1.0, x);
        }
    }
    return rho1 + integral;
}

}  // namespace orma::accuracy
