// Gerado por tools/GerarReferencias.cpp a partir de data/fontes/fontes.csv e estacoes.csv; não edite.
// clang-format off
#include "idf/ReferenciasIdf.h"

const std::vector<TReferencia>& ReferenciasIdf() {
    static const std::vector<TReferencia> tabela = {
        {"ARBOIT2017-RS",
         "Arboit, Nathana Karina Swarowski; Mancuso, Malva Andrea; Fioreze, Mariele",
         "Ajuste de Equação IDF por Desagregação de Chuvas Diárias para o Município de Iraí, RS",
         "Anuário do Instituto de Geociências (UFRJ), fascículo 3, p. 248-253. DOI: 10.11137/2017_3_248_253",
         "RS (Iraí)",
         "https://revistas.ufrj.br/index.php/aigeo/article/view/27212"},
        {"WERNER2024-SC",
         "Werner, Romeu Souza; Bertol, Ildegardis; Barbosa, Fabrício Tondello",
         "Relações Intensidade-Duração-Frequência de chuvas intensas de Lages, SC",
         "Revista de Ciências Agroveterinárias, v. 23, n. 3 (2024)",
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
         "Revista Científica ANAP Brasil, v. 13, n. 30, 2020 (ISSN 1984-3240)",
         "PE (Brejinho, Itapetim)",
         "https://docslib.org/doc/12826547/desenvolvimento-de-curvas-intensidade-dura%C3%A7%C3%A3o-frequ%C3%AAncia-para-dois-munic%C3%ADpios-do-sert%C3%A3o-de-pernambuco"},
        {"DIAS2021-PA",
         "Dias, Éverton Costa; Penner, Giovanni Chaves",
         "Equação de chuvas intensas para Abaetetuba-PA: estudo comparativo",
         "Research, Society and Development, v. 10, n. 4, e31310414213, 2021. DOI: 10.33448/rsd-v10i4.14213",
         "PA (Abaetetuba)",
         "https://pt.scribd.com/document/659056070/Tendencia-6"},
        {"FERREIRA2001-SP",
         "Ferreira, M. E.; Waltz, R. C.",
         "Obtenção de uma equação de chuvas intensas para São José dos Campos-SP",
         "Anais do XIV Simpósio Brasileiro de Recursos Hídricos, ABRH, 2001",
         "SP (São José dos Campos)",
         "https://github.com/henrillima/Projeto_HID41_Bacia_Paraiba_do_Sul"},
        {"DAEE1999-SP",
         "Martinez Júnior, Francisco; Magni, Nelson Luiz Goi",
         "Equações de Chuvas Intensas do Estado de São Paulo",
         "Convênio DAEE – Escola Politécnica da USP, junho de 1999, edição revisada em outubro de 1999 (141 p.)",
         "SP (Andradina; Araraquara)",
         "https://pt.slideshare.net/slideshow/equa-chuvasintensas/55512922"},
    };
    return tabela;
}

const std::vector<TInfoEstacaoIdf>& InfoEstacoesIdf() {
    static const std::vector<TInfoEstacaoIdf> tabela = {
        {"RS", "Iraí",
         "ARBOIT2017-RS", 1086.604, 0.184, 9.886, 0.728,
         TVerificacaoIdf::Primaria, 5.0, 1440.0, false, {}, 2.0, 100.0},
        {"SC", "Lages (CAV-UDESC, 1989-2016)",
         "WERNER2024-SC", 1285.65, 0.133, 14.2, 0.87,
         TVerificacaoIdf::Primaria, 0.0, 240.0, false, {}, 2.0, 50.0},
        {"SC", "Lages (CAV-UDESC, 2000-2009)",
         "CARDOSO2014-SC", 2050.0, 0.2, 30.0, 0.89,
         TVerificacaoIdf::Primaria, 0.0, 0.0, false, {}, 2.0, 20.0},
        {"PE", "Brejinho (posto APAC cód. 437)",
         "SANTANA2020-PE", 1318.06, 0.19, 11.5, 0.759,
         TVerificacaoIdf::Primaria, 6.0, 1440.0, false, {}, 5.0, 10000.0},
        {"PE", "Itapetim (posto APAC cód. 151)",
         "SANTANA2020-PE", 1028.68, 0.19, 11.51, 0.759,
         TVerificacaoIdf::Primaria, 6.0, 1440.0, false, {}, 0.0, 0.0},
        {"PA", "Abaetetuba",
         "DIAS2021-PA", 1197.6964, 0.0933, 10.9667, 0.7599,
         TVerificacaoIdf::Primaria, 0.0, 0.0, false, {}, 2.0, 1000.0},
        {"SP", "São José dos Campos (pluviógrafos, 1973-1984 + 1993-1998)",
         "FERREIRA2001-SP", 5710.0, 0.1263, 38.21, 1.0766,
         TVerificacaoIdf::Secundaria, 0.0, 360.0, false, {}, 0.0, 20.0},
        {"SP", "Andradina (posto DAEE B8-004R, 1972-96)",
         "DAEE1999-SP", 1272.12, 0.173, 16.49, 0.8108,
         TVerificacaoIdf::Convertida, 10.0, 1440.0, false, {}, 2.0, 100.0},
        {"SP", "Araraquara (posto Chibarro, DAEE C5-017R), trecho 10-105 min",
         "DAEE1999-SP", 1114.32, 0.1663, 13.8, 0.7573,
         TVerificacaoIdf::Convertida, 10.0, 105.0, false, {}, 2.0, 100.0},
    };
    return tabela;
}

const TReferencia* ProcurarReferencia(std::string_view chave) {
    for (const auto& r : ReferenciasIdf())
        if (r.Chave == chave) return &r;
    return nullptr;
}

std::string_view ChaveFonteGoiasDF() { return ""; }
