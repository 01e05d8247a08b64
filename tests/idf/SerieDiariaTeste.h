#pragma once
// Série de chuvas diárias montada pelo teste, na disposição do portal: trinta anos com dias
// sem leitura, um dia duvidoso, um acumulado e os dois níveis num mês.
#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace serie_teste {

struct TMesTeste {
    int Ano = 0, Mes = 0, Nivel = 2;
    std::array<std::optional<double>, 31> Chuva{};
    std::array<int, 31> Status{};
    std::string Codigo = "02045005";
};

inline int Dias(int ano, int mes) {
    static const int d[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return mes == 2 && ano % 4 == 0 && (ano % 100 != 0 || ano % 400 == 0) ? 29 : d[mes - 1];
}

inline std::string Dois(int v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

inline std::string Virgula(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.1f", v);
    std::string s = b;
    s[s.find('.')] = ',';
    return s;
}

// A linha das colunas na ordem do portal, com as de resumo do mês no meio.
inline std::string LinhaColunas() {
    std::string s = "EstacaoCodigo;NivelConsistencia;Data;TipoMedicaoChuvas;Maxima;Total;DiaMaxima;"
                    "NumDiasDeChuva;MaximaStatus;TotalStatus;NumDiasDeChuvaStatus;TotalAnual;"
                    "TotalAnualStatus";
    for (int d = 1; d <= 31; ++d)
        s += ";Chuva" + Dois(d);
    for (int d = 1; d <= 31; ++d)
        s += ";Chuva" + Dois(d) + "Status";
    return s + ";";
}

// A Maxima do resumo é de propósito falsa: valem os dias.
inline std::string LinhaMes(const TMesTeste& m) {
    std::string s = m.Codigo + ";" + std::to_string(m.Nivel) + ";01/" + Dois(m.Mes) + "/" +
                    std::to_string(m.Ano) + ";1;999,9;0;;;;;;;";
    for (int d = 0; d < 31; ++d)
        s += ";" + (m.Chuva[std::size_t(d)] ? Virgula(*m.Chuva[std::size_t(d)]) : "");
    for (int d = 0; d < 31; ++d)
        s += ";" + (d < Dias(m.Ano, m.Mes) ? std::to_string(m.Status[std::size_t(d)]) : "");
    return s + ";";
}

// Cabeçalho em ISO-8859-1 e CR LF, como o portal grava: a linha das colunas é a 7.
inline std::string Arquivo(const std::vector<TMesTeste>& meses) {
    std::string s = "Sistema de Informa\xE7\xF5"
                    "es Hidrol\xF3gicas\r\n"
                    "S\xE9rie de chuvas di\xE1rias\r\n"
                    "NivelConsistencia: 1 = Bruto, 2 = Consistido\r\n"
                    "Status: 0 = Branco, 1 = Real, 2 = Estimado, 3 = Duvidoso, 4 = Acumulado\r\n"
                    "C\xF3"
                    "digo da esta\xE7\xE3o: 02045005\r\n\r\n" +
                    LinhaColunas() + "\r\n";
    for (const TMesTeste& m : meses)
        s += LinhaMes(m) + "\r\n";
    return s;
}

inline constexpr double Plantadas[] = {62.4,  88.0,  71.3, 95.6, 54.2,  120.5, 67.8, 80.1,
                                       73.9,  101.2, 59.7, 84.6, 112.3, 66.0,  77.7, 92.8,
                                       58.3,  135.0, 70.4, 83.5, 99.1,  61.9,  87.2, 75.5,
                                       108.4, 64.6,  90.3, 79.0, 68.8,  117.6, 56.1};

// Um mês do registro: chuvas de até 11 mm e uma máxima plantada por ano; em outubro, os
// primeiros (ano % 4) dias sem leitura; março de 1967 e 1 a 28 de abril de 1970 vazios; a
// máxima de 1972 duvidosa; 15/08/1975 acumulado.
inline TMesTeste MesDoRegistro(int ano, int mes, int nivel) {
    TMesTeste m{ano, mes, nivel, {}, {}, ano == 1983 ? "2045005" : "02045005"};
    for (int d = 1; d <= Dias(ano, mes); ++d) {
        m.Chuva[std::size_t(d - 1)] = ((d * 7 + mes * 13 + ano * 3) % 23) * 0.5;
        m.Status[std::size_t(d - 1)] = 1;
    }
    const int mesMax = ano == 1964 ? 2 : 1 + (ano * 5) % 12;
    const int diaMax = ano == 1964 ? 29 : 1 + (ano * 11) % 28;
    if (mes == mesMax) {
        m.Chuva[std::size_t(diaMax - 1)] = Plantadas[ano - 1960];
        m.Status[std::size_t(diaMax - 1)] = ano == 1972 ? 3 : 1;
    }
    int vazios = mes == 10 ? ano % 4 : 0;
    if (ano == 1967 && mes == 3) vazios = 31;
    if (ano == 1970 && mes == 4) vazios = 28;
    for (int d = 0; d < std::min(vazios, Dias(ano, mes)); ++d) {
        m.Chuva[std::size_t(d)].reset();
        m.Status[std::size_t(d)] = 0;
    }
    if (ano == 1975 && mes == 8) {
        m.Chuva[14] = 40.0;
        m.Status[14] = 4;
    }
    return m;
}

// De 07/1960 a 06/1990 sem 05/1963, consistido até 1979 e bruto depois; 02/1979 também no
// nível 1 (com 300 mm que não vale) e 07/1986 também no nível 2 (com 140 mm que vale). Do mais
// novo ao mais velho, o nível 1 antes do 2 em 1979 e depois em 1986.
inline std::vector<TMesTeste> Registro() {
    std::vector<TMesTeste> meses;
    for (int ano = 1990; ano >= 1960; --ano)
        for (int mes = 12; mes >= 1; --mes) {
            if ((ano == 1990 && mes > 6) || (ano == 1960 && mes < 7) || (ano == 1963 && mes == 5))
                continue;
            if (ano == 1986 && mes == 7) {
                TMesTeste m2 = MesDoRegistro(ano, mes, 2);
                m2.Chuva[19] = 140.0;
                meses.push_back(m2);
            }
            if (ano == 1979 && mes == 2) {
                TMesTeste m1 = MesDoRegistro(ano, mes, 1);
                m1.Chuva[9] = 300.0;
                meses.push_back(m1);
            }
            meses.push_back(MesDoRegistro(ano, mes, ano < 1980 ? 2 : 1));
        }
    return meses;
}

inline const std::string ArquivoRegistro = Arquivo(Registro());

} // namespace serie_teste
