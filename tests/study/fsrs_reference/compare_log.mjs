// Checks the program's study figures against the reference implementations
// of FSRS-6 on the same study log: ts-fsrs for each card's memory state,
// the reference optimizer compiled from Rust (@open-spaced-repetition/binding)
// for its own fit of the parameters.
//
//   node compare_log.mjs MODULES_DIR simulate DATA_DIR ANSWERS TODAY
//     writes DATA_DIR/学習記録.csv: a learner unlike the median one
//     answering the typed years of DATA_DIR's events over the 200 days
//     before TODAY (YYYY-MM-DD);
//   node compare_log.mjs MODULES_DIR compare LOG CARDS_REPORT OPTIMIZE_REPORT
//     compares `qevline --study-report --cards` (CARDS_REPORT) and
//     `qevline --optimize-memory` (OPTIMIZE_REPORT) on LOG with the
//     references, and prints the comparison as key: value lines.
import { createRequire } from 'node:module';
import { readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { join, resolve } from 'node:path';

import { plainMetrics, random } from './reference_tools.mjs';

const [modulesDir, mode, ...rest] = process.argv.slice(2);
const require = createRequire(join(resolve(modulesDir), 'package.json'));
const tsfsrs = require('ts-fsrs');
const binding = require('@open-spaced-repetition/binding');
const DEFAULTS = [...tsfsrs.default_w];
const LEARNER = [0.5, 1.8, 4.2, 12.0, 5.8, 1.1, 2.2, 0.02, 1.6, 0.2, 1.1, 1.7, 0.09, 0.35,
                 1.2, 0.45, 2.4, 0.4, 0.3, 0.1, 0.3];
const algorithm = (w) =>
  new tsfsrs.FSRSAlgorithm(tsfsrs.generatorParameters({ w, enable_short_term: true }));

const DAY = 86400000;
const dayOf = (iso) => Math.floor(Date.parse(iso.slice(0, 10) + 'T00:00:00Z') / DAY);
const isoOf = (day, second) =>
  new Date(day * DAY + second * 1000).toISOString().slice(0, 19);

// The log's CSV, quoted fields included.
function csvRows(text) {
  const rows = [];
  for (const line of text.split('\n')) {
    if (!line) continue;
    const fields = [];
    let field = '';
    let quoted = false;
    for (let i = 0; i < line.length; ++i) {
      const c = line[i];
      if (quoted) {
        if (c === '"' && line[i + 1] === '"') { field += '"'; ++i; }
        else if (c === '"') quoted = false;
        else field += c;
      } else if (c === '"') quoted = true;
      else if (c === ',') { fields.push(field); field = ''; }
      else field += c;
    }
    fields.push(field);
    rows.push(fields);
  }
  return rows.slice(1);
}
const csvField = (s) => (/[",\r]/.test(s) ? '"' + s.replaceAll('"', '""') + '"' : s);

// Each card's answers, [day, grade] in log order, by file, date, event, kind.
function cardsOfLog(path) {
  const cards = new Map();
  for (const f of csvRows(readFileSync(path, 'utf8'))) {
    if (f.length < 8) continue;
    const key = [f[1], f[2], f[3], f[8] ?? '年'].join('\t');
    const grade = f.length >= 10 ? Number(f[9]) : f[5] === '正解' ? 3 : 1;
    if (!cards.has(key)) cards.set(key, []);
    cards.get(key).push([dayOf(f[0]), grade]);
  }
  return cards;
}

function simulate(dataDir, answers, today) {
  const events = [];
  for (const name of readdirSync(dataDir).filter((n) => n.endsWith('.txt')).sort()) {
    if (name.startsWith('動作状態')) continue;
    const text = new TextDecoder('shift_jis').decode(readFileSync(join(dataDir, name)));
    for (const line of text.split('\r\n').slice(1)) {
      const f = line.split(';');
      if (f.length < 5 || !/^(AD|BC)\d{4}$/.test(f[0])) continue;
      events.push([name.slice(0, -4), f[0], f[3]]);
    }
  }
  const ts = algorithm(LEARNER);
  const rand = random(2026);
  const grade = () => { const u = rand(); return u < 0.15 ? 2 : u < 0.85 ? 3 : 4; };
  const first = dayOf(today) - 200;
  const answered = [];
  let count = 0;
  while (count < answers && events.length) {
    const [file, date, text] = events.splice(Math.floor(rand() * events.length), 1)[0];
    let day = first + Math.floor(rand() * 150);
    let g = rand() < 0.25 ? 1 : grade();
    let state = ts.next_state(null, 0, g);
    const card = [[day, g]];
    for (;;) {
      let elapsed;
      if (g === 1 && rand() < 0.5) elapsed = 0;
      else {
        const ivl = state.stability * ts.calculate_interval_modifier(0.9);
        elapsed = Math.max(1, Math.round(ivl * Math.exp(2.2 * rand() - 1.1)));
      }
      if (day + elapsed >= dayOf(today)) break;
      const r = elapsed === 0 ? 1 : ts.forgetting_curve(elapsed, state.stability);
      g = elapsed === 0 ? grade() : rand() < r ? grade() : 1;
      state = ts.next_state(state, elapsed, g);
      day += elapsed;
      card.push([day, g]);
    }
    count += card.length;
    card.forEach(([d, gr], i) => answered.push([d, 32400 + i, file, date, text, gr]));
  }
  answered.sort((a, b) => a[0] - b[0] || a[1] - b[1]);
  const lines = ['日時,ファイル,年代,できごと,解答,正誤,記憶度(前),記憶度(後),出題形式,評価,ヒント,秒数'];
  for (const [d, s, file, date, text, g] of answered) {
    lines.push([isoOf(d, s), file, date, text, '', g > 1 ? '正解' : '不正解', 1, 1, '年', g, 0, 5]
      .map(String).map(csvField).join(','));
  }
  writeFileSync(join(dataDir, '学習記録.csv'), lines.join('\n') + '\n');
  console.log(`answers: ${answered.length}`);
}

const values = (text) => {
  const found = new Map();
  for (const line of text.split('\n')) {
    const at = line.indexOf(': ');
    if (at > 0 && !line.startsWith('card: ')) found.set(line.slice(0, at), line.slice(at + 2));
  }
  return found;
};
const parametersOf = (v) => Array.from({ length: 21 }, (_, i) => Number(v.get(`w${i}`)));

async function compare(logPath, cardsPath, optimizePath) {
  const cards = cardsOfLog(logPath);
  const report = readFileSync(cardsPath, 'utf8');
  const inUse = parametersOf(values(report));
  const ts = algorithm(inUse);
  let compared = 0;
  let worstS = 0;
  let worstD = 0;
  for (const line of report.split('\n')) {
    if (!line.startsWith('card: ')) continue;
    const [file, date, event, kind, s, d] = line.slice(6).split('\t');
    const answers = cards.get([file, date, event, kind].join('\t'));
    if (s === '-' || !answers) continue;
    let state = null;
    answers.forEach(([day, g], i) => {
      state = ts.next_state(state, i === 0 ? 0 : day - answers[i - 1][0], g);
    });
    // The report writes four decimals.
    worstS = Math.max(worstS, Math.abs(state.stability - Number(s)) / Math.max(1, state.stability));
    worstD = Math.max(worstD, Math.abs(state.difficulty - Number(d)));
    ++compared;
  }
  const all = [...cards.values()];
  const items = [];
  for (const card of all) {
    const reviews = card.map(([day, g], i) =>
      new binding.FSRSBindingReview(g, i === 0 ? 0 : day - card[i - 1][0]));
    for (let i = 1; i < reviews.length; ++i) {
      if (reviews[i].deltaT > 0) items.push(new binding.FSRSBindingItem(reviews.slice(0, i + 1)));
    }
  }
  const started = process.hrtime.bigint();
  const fitted = await binding.computeParameters(items, { enableShortTerm: true });
  const seconds = Number(process.hrtime.bigint() - started) / 1e9;
  const ours = parametersOf(values(readFileSync(optimizePath, 'utf8')));
  const r = plainMetrics(binding, fitted, all);
  const o = plainMetrics(binding, ours, all);
  const d = plainMetrics(binding, DEFAULTS, all);
  const out = [
    ['cards compared', compared],
    ['worst stability gap (relative)', worstS.toExponential(2)],
    ['worst difficulty gap', worstD.toExponential(2)],
    ['reviews predicted', r.reviews],
    ['defaults log loss', d.logLoss.toFixed(5)],
    ['reference fit log loss', r.logLoss.toFixed(5)],
    ['reference fit rmse bins', r.rmseBins.toFixed(5)],
    ['our fit log loss', o.logLoss.toFixed(5)],
    ['our fit rmse bins', o.rmseBins.toFixed(5)],
    ['log loss ratio (ours / reference)', (o.logLoss / r.logLoss).toFixed(4)],
    ['reference fit seconds', seconds.toFixed(3)],
  ];
  for (const [k, v] of out) console.log(`${k}: ${v}`);
}

if (mode === 'simulate') simulate(rest[0], Number(rest[1]), rest[2]);
else await compare(rest[0], rest[1], rest[2]);
