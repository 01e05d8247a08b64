// A bacia de acumulação de um desaguadouro: as medidas para o volume e o pico que chegam, e
// a leitura e gravação dos seus dados no arquivo do projeto.
#include "engine/BaciaAcumulacao.h"

#include <cmath>
#include <numbers>

#include "engine/Persistencia.h"

TBaciaAcumulacao::TBaciaAcumulacao(const std::string& nome)
    : Nome(nome), CanalConducao("_BaciaAcumulacao" + nome) {
    Limpar();
}

void TBaciaAcumulacao::Limpar() {
    m1 = m2 = Profundidade = 0;
    CanalConducao.Limpar();
    Formato = SEMICIRCULAR;
    CalcularVolume = true;
}

TDimensoesBacia TBaciaAcumulacao::Dimensoes(double q, double v, double profundidade) const {
    TDimensoesBacia d;
    d.ProfundidadeCanal = CanalConducao.ProfundidadeNormal(q) * 100;
    if (Formato == RETANGULAR) {
        d.Comprimento = (m1 + m2) * profundidade;
        d.Largura = 2 * v / (profundidade * d.Comprimento);
    } else if (Formato == SEMICIRCULAR) {
        d.Raio = std::sqrt(4 * v / (std::numbers::pi * profundidade));
        d.Comprimento = d.Raio;
    }
    return d;
}

bool TBaciaAcumulacao::Ler(TArquivoIni& ini) {
    const std::string secao = "BaciaAcumulacao" + Nome;
    if (ini.LerTexto(secao, "Versao", "0") != "1") return false;
    if (!CanalConducao.Ler(ini)) return false;
    Profundidade = ini.LerReal(secao, "Profundidade", 0);
    m1 = ini.LerReal(secao, "m1", 0);
    m2 = ini.LerReal(secao, "m2", 0);
    Formato = std::uint8_t(ini.LerInteiro(secao, "Formato", 0));
    CalcularVolume = ini.LerLogico(secao, "CalcularVolume", true);
    return true;
}

bool TBaciaAcumulacao::Gravar(TArquivoIni& ini) {
    const std::string secao = "BaciaAcumulacao" + Nome;
    ini.EscreverTexto(secao, "Versao", "1");
    GravarReal(ini, secao, "Profundidade", Profundidade);
    GravarReal(ini, secao, "m1", m1);
    GravarReal(ini, secao, "m2", m2);
    ini.EscreverInteiro(secao, "Formato", Formato);
    ini.EscreverLogico(secao, "CalcularVolume", CalcularVolume);
    CanalConducao.Gravar(ini);
    return true;
}
