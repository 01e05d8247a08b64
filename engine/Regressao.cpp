// Mínimos quadrados de uma reta e de uma potência (a reta dos logaritmos).
#include "engine/Regressao.h"

#include <cmath>

void TRegressao::DefinirNumAmostras(int n) {
    if (n < 0) n = 0;
    X.resize(std::size_t(n), 0.0);
    Y.resize(std::size_t(n), 0.0);
}

void TRegressao::AjusteLinear(double& a, double& b) const {
    double sx = 0, sy = 0, sxy = 0, sxx = 0;
    const int n = NumAmostras();
    for (int i = 0; i < n; ++i) {
        sx += X[i];
        sy += Y[i];
        sxy += X[i] * Y[i];
        sxx += X[i] * X[i];
    }
    b = (sxy - sx * sy / n) / (sxx - sx * sx / n);
    a = sy / n - b * sx / n;
}

void TRegressao::AjustePotencia(double& a, double& b) const {
    TRegressao log(NumAmostras());
    for (int i = 0; i < NumAmostras(); ++i) {
        log.X[i] = std::log10(X[i]);
        log.Y[i] = Y[i] != 0 ? std::log10(Y[i]) : 0;
    }
    double la;
    log.AjusteLinear(la, b);
    a = std::pow(10.0, la);
}
