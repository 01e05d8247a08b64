#pragma once
// Conversões de unidade e expoentes com significado físico que o motor usa, cada um definido
// uma vez. Os tempos do motor são em minutos, as intensidades de chuva em mm/h, as vazões dos
// hidrogramas em L/s e as do esquema em m³/s.

constexpr double SEGUNDOS_POR_MINUTO = 60;
constexpr double SEGUNDOS_POR_HORA = 3600;
constexpr double MINUTOS_POR_HORA = 60;
// mm/h ÷ isto = m/s.
constexpr double MM_H_POR_M_S = 3600000;
constexpr double LITROS_POR_M3 = 1000;
constexpr double MM_POR_M = 1000;
constexpr double CM_POR_M = 100;

// Manning num plano largo: q = α·h^(5/3), e a lâmina pela vazão, h = (q/α)^(3/5).
constexpr double EXPOENTE_MANNING_PLANO = 5.0 / 3.0;
constexpr double INVERSO_EXPOENTE_MANNING_PLANO = 0.6;

// Abstração inicial do número de curva, em mm: Ia = 0,2·S, com S = 254·(100/CN − 1) mm.
constexpr double ABSTRACAO_INICIAL_POR_CN_MM = 50.8;
