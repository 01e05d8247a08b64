#pragma once
#include <vector>

// Ajuste por mínimos quadrados de uma reta ou de uma potência.
class TRegressao {
public:
    explicit TRegressao(int n = 0) { DefinirNumAmostras(n); }
    void DefinirNumAmostras(int n);
    int NumAmostras() const { return int(X.size()); }
    // y = a + b·x
    void AjusteLinear(double& a, double& b) const;
    // y = a·x^b, ajustado como reta em log10.
    void AjustePotencia(double& a, double& b) const;

    std::vector<double> X;
    std::vector<double> Y;
};
