#include "idf/ConsultaIdf.h"

#include "comum/Numeros.h"
#include "comum/Win1252.h"
#include "idf/EstacoesUsuario.h"
#include "idf/UnBD.h"

#include <ostream>

namespace {

// Exige a forma completa: o leitor do banco aceitaria textos que uma pessoa não quis dizer.
bool CoordenadaBemFormada(const std::string& utf8, double maximoGraus) {
    if (!win1252::Representavel(utf8)) return false;
    const std::string t = win1252::DeUtf8(utf8);
    if (t.size() != 9 || t[2] != '\xB0' || t[5] != '\'' || t[8] != '"') return false;
    for (int i : {0, 1, 3, 4, 6, 7})
        if (t[i] < '0' || t[i] > '9') return false;
    const int graus = (t[0] - '0') * 10 + (t[1] - '0');
    return (t[3] - '0') * 10 + (t[4] - '0') < 60 && (t[6] - '0') * 10 + (t[7] - '0') < 60 &&
           graus <= maximoGraus;
}

// Graus decimais de um texto já conferido por CoordenadaBemFormada.
double Graus(const std::string& utf8) {
    const std::string t = win1252::DeUtf8(utf8);
    auto dois = [&](int i) { return (t[i] - '0') * 10 + (t[i + 1] - '0'); };
    return dois(0) + dois(3) / 60.0 + dois(6) / 3600.0;
}

// O retângulo do território (latitude sul, longitude oeste): o Oiapoque, ao norte do
// equador, não se escreve neste formato.
bool DentroDoBrasil(const std::string& latitude, const std::string& longitude) {
    const double la = Graus(latitude), lo = Graus(longitude);
    return la <= 34 && lo >= 28 && lo <= 74;
}

} // namespace

int ConsultarIdf(const std::string& latitude, const std::string& longitude,
                 const std::string& pastaComuns, const std::string& pastaUsuario,
                 std::ostream& saida, std::ostream& erros) {
    if (!CoordenadaBemFormada(latitude, 90) || !CoordenadaBemFormada(longitude, 99)) {
        erros << "Coordenadas inválidas: \"" << latitude << "\" \"" << longitude
              << "\". Use o formato 00°00'00\" (latitude sul e longitude oeste).\n";
        return 2;
    }
    if (!DentroDoBrasil(latitude, longitude)) {
        erros << "O ponto " << latitude << " S, " << longitude
              << " W está fora do território brasileiro (latitude até 34° S, longitude de 28° "
                 "a 74° W).\n";
        return 2;
    }
    TBDPrecipitacao bd(pastaComuns);
    TEstacoesUsuario minhas(pastaUsuario);
    try {
        bd.CarregarEstacoes();
        minhas.Carregar();
        std::vector<TEstacao> estacoes;
        std::vector<int> estados;
        for (const auto& e : minhas.Lista()) {
            estacoes.push_back(EstacaoDoBanco(e));
            estados.push_back(e.Estado);
        }
        bd.DefinirEstacoesUsuario(std::move(estacoes), estados);
    } catch (const EMorvendo& e) {
        erros << e.what() << '\n';
        return 2;
    }
    TEstacao r;
    try {
        r = bd.InterpolarParametros(latitude, longitude);
    } catch (const EMorvendo& e) {
        erros << e.what() << '\n';
        return 1;
    }
    if (!(r.K > 0 && r.A > 0 && r.B > 0 && r.C > 0)) {
        erros << "Os parâmetros da equação IDF obtidos para o ponto não são válidos (K, a, b e c "
                 "devem ser maiores que zero); verifique os dados das estações.\n";
        return 1;
    }
    if (r.Autor == AutorInterpolacao && r.Nome.empty())
        saida << "Origem: interpolação pelo inverso da quinta potência da distância\n";
    else if (r.DoUsuario) {
        std::string fonte;
        for (const auto& e : minhas.Lista())
            if (e.Nome == r.Nome && EstacaoDoBanco(e).Latitude == r.Latitude &&
                EstacaoDoBanco(e).Longitude == r.Longitude)
                fonte = e.Fonte;
        saida << "Estação: " << r.Nome << MarcaEstacaoUsuario << "\nFonte: " << fonte << '\n';
    } else
        saida << "Estação: " << r.Nome << "\nFonte: " << r.Autor << '\n';
    saida << "Latitude: " << r.Latitude << "\nLongitude: " << r.Longitude << '\n'
          << "K: " << FloatToStr(r.K) << "\na: " << FloatToStr(r.A) << "\nb: " << FloatToStr(r.B)
          << "\nc: " << FloatToStr(r.C) << '\n';
    return 0;
}
