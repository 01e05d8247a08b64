#include "idf/ConsultaIdf.h"

#include "comum/Numeros.h"
#include "idf/BancoEstacoes.h"
#include "idf/EstacoesUsuario.h"
#include "idf/VerificacaoIdf.h"

#include <ostream>

namespace {

// Textos "00°00'00\"" do ponto, ou vazio com a mensagem em erros.
bool LerPonto(const std::string& latitude, const std::string& longitude, std::string& lat,
              std::string& lon, std::ostream& erros) {
    const auto la = LerCoordenada(latitude, true), lo = LerCoordenada(longitude, false);
    if (!la || !lo) {
        erros << "Coordenadas inválidas: \"" << latitude << "\" \"" << longitude
              << "\". Use graus, minutos e segundos (27°11'36\" 53°15'02\") ou graus decimais "
                 "(-27.1933 -53.2506, ou 27,1933 S 53,2506 O).\n";
        return false;
    }
    // O retângulo do território, ao sul do equador: o banco guarda só latitudes ao sul.
    if (!(*la >= 0 && *la <= 34 && *lo >= 28 && *lo <= 74)) {
        erros << "O ponto " << latitude << ", " << longitude
              << " está fora do território brasileiro ao sul do equador (latitude de 0° a 34° "
                 "S, longitude de 28° a 74° W).\n";
        return false;
    }
    lat = TextoCoordenada(*la);
    lon = TextoCoordenada(*lo);
    return true;
}

std::string Nome(const TEstacaoConsultada& e) {
    return e.Nome + " (" + CodigoEstado(e.Estado) + ")" + (e.DoUsuario ? MarcaEstacaoUsuario : "");
}

} // namespace

int ConsultarIdf(const std::string& latitude, const std::string& longitude,
                 const std::string& pastaComuns, const std::string& pastaUsuario, double raioKm,
                 std::ostream& saida, std::ostream& erros) {
    std::string lat, lon;
    if (!LerPonto(latitude, longitude, lat, lon, erros)) return 2;
    try {
        ConferirRaioInterpolacao(raioKm);
    } catch (const EMorvendo& e) {
        erros << e.what() << '\n';
        return 2;
    }
    TBancoEstacoes bd(pastaComuns);
    TEstacoesUsuario minhas(pastaUsuario);
    try {
        bd.CarregarEstacoes();
        minhas.Carregar();
        AplicarEstacoesUsuario(bd, minhas.Lista());
    } catch (const EMorvendo& e) {
        erros << e.what() << '\n';
        return 2;
    }
    TConsultaPonto c;
    try {
        c = bd.Consultar(lat, lon, raioKm);
    } catch (const ESemEstacoesNoRaio& e) {
        erros << MensagemSemEstacoesNoRaio(e.Proximas, e.RaioKm,
                                           "repita a consulta com --raio KM (até 300 km)")
              << ".\n";
        return 1;
    } catch (const EMorvendo& e) {
        erros << e.what() << '\n';
        return 1;
    }
    const TEstacao& r = c.Resultado;
    if (!(r.K > 0 && r.A > 0 && r.B > 0 && r.C > 0)) {
        erros << "Os parâmetros da equação IDF obtidos para o ponto não são válidos (K, a, b e c "
                 "devem ser maiores que zero); verifique os dados das estações.\n";
        return 1;
    }
    if (c.Interpolada) {
        saida << "Origem: interpolação pelo inverso da quinta potência da distância\n"
              << "Raio_km: " << FloatToStr(c.RaioKm) << '\n';
        for (const auto& e : c.Usadas)
            saida << "Estacao: " << Nome(e)
                  << "; distancia_km: " << FormatFloat("0.000", e.DistanciaKm)
                  << "; peso: " << FormatFloat("0.00", e.Peso * 100) << " %\n";
    } else if (r.DoUsuario) {
        // A fonte é a da estação que deu os parâmetros: estado e nome, a chave das suas.
        std::string fonte, erros;
        const auto& usada = c.Usadas.at(0);
        if (const auto* e = ProcurarEstacaoUsuario(minhas.Lista(), usada.Estado, usada.Nome)) {
            fonte = e->Fonte;
            erros = TextoErrosAjuste(InfoEstacaoUsuario(*e));
        }
        saida << "Estação: " << r.Nome << MarcaEstacaoUsuario << "\nFonte: " << fonte << '\n';
        if (!erros.empty()) saida << "Erro do ajuste: " << erros << '\n';
    } else
        saida << "Estação: " << r.Nome << "\nFonte: " << r.Autor << '\n';
    if (!c.Interpolada) {
        saida << "Distancia_km: " << FormatFloat("0.000", c.Usadas.at(0).DistanciaKm) << '\n';
        for (const auto& v : c.Vizinhas)
            saida << "Outra estacao a menos de 1 km: " << Nome(v)
                  << "; distancia_km: " << FormatFloat("0.000", v.DistanciaKm) << '\n';
    }
    saida << "Latitude: " << r.Latitude << "\nLongitude: " << r.Longitude << '\n'
          << "K: " << FloatToStr(r.K) << "\na: " << FloatToStr(r.A) << "\nb: " << FloatToStr(r.B)
          << "\nc: " << FloatToStr(r.C) << '\n';
    return 0;
}
