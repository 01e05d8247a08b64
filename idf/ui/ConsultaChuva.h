#pragma once
#include "idf/ChuvaDeProjeto.h"
#include "idf/ui/AmbienteConsulta.h"

class QWidget;

// Executar do componente com o diálogo desta interface: confere os dados, mostra a consulta
// sobre a janela pai e, aceita, copia K, a, b, c e o local para o componente (true).
// Erros (EMorvendo) chegam ao chamador, que os mostra na caixa de erro; nada muda então.
bool ExecutarConsultaChuva(TChuvaDeProjeto& chuva, QWidget* pai,
                           const TAmbienteConsulta& ambiente = AmbienteConsultaPadrao());
