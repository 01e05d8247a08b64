#pragma once
#include <optional>
#include <string>
#include <vector>

#include "project/Calculo.h"

// O que o usuário lê de cada resultado: rótulo, unidade e máscara, num lugar só para a página
// de resultados, a linha de comando e o relatório dizerem o mesmo.

enum class TGrandezaResultado {
    PerdaToleravel,
    Espacamento,
    TensaoMax,
    PerdaSolo,
    VazaoCanal,
    VolumeCanal,
    VolumeBacia,
    VazaoBacia,
    ProfundidadeCanalBacia,
    RaioBacia,
    LarguraBacia,
    ComprimentoBacia,
};

struct TRotuloResultado {
    TGrandezaResultado Grandeza;
    const char* Rotulo;      // "Perda tolerável"
    const char* Descricao;   // rótulo longo do relatório (o curto quando igual)
    const char* Unidade;     // "g/cm²"
    const char* UnidadeHtml; // a mesma no relatório: "g·cm⁻²"
    const char* Mascara;     // para FormatFloat; nullptr para inteiro
};

const TRotuloResultado& RotuloResultado(TGrandezaResultado g);

// O valor no resultado; vazio quando a bacia não foi dimensionada e, fora a perda tolerável,
// quando nenhum espaçamento atende.
std::optional<double> ValorResultado(TGrandezaResultado g, const TResultadoCalculo& r);

// O valor como se mostra (a máscara com o separador dado); "---" sem valor.
std::string TextoResultado(TGrandezaResultado g, const TResultadoCalculo& r, char separadorDecimal);

// Linhas dos dois quadros, na ordem em que aparecem.
std::vector<TGrandezaResultado> GrandezasCanal();
// Com o formato da bacia (TBaciaAcumulacao::SEMICIRCULAR ou RETANGULAR).
std::vector<TGrandezaResultado> GrandezasBacia(bool semicircular);
