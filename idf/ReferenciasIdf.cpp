// Gerado por tools/GerarReferencias.cpp a partir de data/fontes/fontes.csv; não edite.
// clang-format off
#include "idf/ReferenciasIdf.h"

const std::vector<TReferencia>& ReferenciasIdf() {
    static const std::vector<TReferencia> tabela = {
        {"ARBOIT2017-RS",
         "Arboit, Nathana Karina Swarowski; Mancuso, Malva Andrea; Fioreze, Mariele",
         "Ajuste de Equação IDF por Desagregação de Chuvas Diárias para o Município de Iraí, RS",
         "Anuário do Instituto de Geociências (UFRJ). DOI: 10.11137/2017_3_248_253 (fascículo 3, p. 248-253, conforme o DOI; volume não lido)",
         "RS (Iraí)",
         "https://revistas.ufrj.br/index.php/aigeo/article/view/27212"},
        {"WERNER2024-SC",
         "Werner, Romeu Souza; Bertol, Ildegardis; Barbosa, Fabrício Tondello",
         "Relações Intensidade-Duração-Frequência de chuvas intensas de Lages, SC",
         "Revista de Ciências Agroveterinárias, v. 23, n. 3 (2024); também em https://periodicos.udesc.br/index.php/agroveterinaria/article/view/24721",
         "SC (Lages)",
         "https://bvs-vet.org.br/vetindex/periodicos/revista-de-ciencias-agroveterinarias/23-(2024)-3/relacoes-intensidade-duracao-frequencia-de-chuvas-intensas-de-lages-sc"},
        {"CARDOSO2014-SC",
         "Cardoso, Célio Orli; Bertol, Ildegardis; Soccol, Olívio José; Sampaio, Carlos Augusto de Paiva",
         "Generation of Intensity Duration Frequency Curves and Intensity Temporal Variability Pattern of Intense Rainfall for Lages/SC",
         "Brazilian Archives of Biology and Technology, v. 57, n. 2, p. 274-283, March-April 2014",
         "SC (Lages)",
         "https://1library.org/document/qmwje85z-generation-intensity-duration-frequency-intensity-temporal-variability-rainfall.html"},
        {"SANTANA2020-PE",
         "Santana, Natalia Fernanda Jeronimo de; Silva Junior, Marcos Antonio Barbosa da",
         "Desenvolvimento de Curvas Intensidade-Duração-Frequência para Dois Municípios do Sertão de Pernambuco",
         "Revista Científica ANAP Brasil, v. 13, n. 30, 2020 (ISSN 1984-3240; a cópia lida começa na p. 41). Também como artigo completo de congresso, ISBN 978-65-86753-13-4, p. 467 em diante (cópia em https://1library.org/document/zk8r104z-desenvolvimento-curvas-intensidade-duracao-frequencia-municipios-sertao-pernambuco.html)",
         "PE (Brejinho, Itapetim)",
         "https://docslib.org/doc/12826547/desenvolvimento-de-curvas-intensidade-dura%C3%A7%C3%A3o-frequ%C3%AAncia-para-dois-munic%C3%ADpios-do-sert%C3%A3o-de-pernambuco"},
        {"DIAS2021-PA",
         "Dias, Éverton Costa; Penner, Giovanni Chaves",
         "Equação de chuvas intensas para Abaetetuba-PA: estudo comparativo",
         "Research, Society and Development, v. 10, n. 4, e31310414213, 2021. DOI: 10.33448/rsd-v10i4.14213",
         "PA (Abaetetuba)",
         "https://pt.scribd.com/document/659056070/Tendencia-6"},
    };
    return tabela;
}

const TReferencia* ProcurarReferencia(std::string_view chave) {
    for (const auto& r : ReferenciasIdf())
        if (r.Chave == chave) return &r;
    return nullptr;
}

std::string_view ChaveFonteGoiasDF() { return ""; }
