#include "idf/ConsultaIdf.h"

#include "comum/Numeros.h"
#include "comum/Win1252.h"
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

} // namespace

int ConsultarIdf(const std::string& latitude, const std::string& longitude,
                 const std::string& pastaComuns, std::ostream& saida, std::ostream& erros) {
    if (!CoordenadaBemFormada(latitude, 90) || !CoordenadaBemFormada(longitude, 99)) {
        erros << "Coordenadas inválidas: \"" << latitude << "\" \"" << longitude
              << "\". Use o formato 00°00'00\" (latitude sul e longitude oeste).\n";
        return 2;
    }
    TBDPrecipitacao bd(pastaComuns);
    try {
        bd.CarregarEstacoes();
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
    if (r.Autor == AutorInterpolacao && r.Nome.empty())
        saida << "Origem: interpolação pelo inverso da quinta potência da distância\n";
    else
        saida << "Estação: " << r.Nome << "\nFonte: " << r.Autor << '\n';
    saida << "Latitude: " << r.Latitude << "\nLongitude: " << r.Longitude << '\n'
          << "K: " << FloatToStr(r.K) << "\na: " << FloatToStr(r.A) << "\nb: " << FloatToStr(r.B)
          << "\nc: " << FloatToStr(r.C) << '\n';
    return 0;
}
