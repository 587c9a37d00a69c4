// Makes the memory model's reference data with two independent FSRS-6
// implementations: ts-fsrs (memory states, recall, intervals) and the
// reference optimizer compiled from Rust (@open-spaced-repetition/binding:
// its own fit and metrics on a simulated log).
//
//   node make_reference.mjs MODULES_DIR OUT_DIR [--reviews N]
//
// MODULES_DIR holds node_modules with the packages of package.json (the
// build folder's, never the program's); OUT_DIR receives
// memory_states.csv, fit_reviews.csv and fit_reference.json.
import { createRequire } from 'node:module';
import { writeFileSync } from 'node:fs';
import { join, resolve } from 'node:path';

import { plainMetrics, random } from './reference_tools.mjs';

const [modulesDir, outDir] = process.argv.slice(2);
if (!modulesDir || !outDir) {
  console.error('usage: node make_reference.mjs MODULES_DIR OUT_DIR [--reviews N]');
  process.exit(2);
}
const reviewsArg = process.argv.indexOf('--reviews');
const targetReviews = reviewsArg > 0 ? Number(process.argv[reviewsArg + 1]) : 12000;
const require = createRequire(join(resolve(modulesDir), 'package.json'));
const tsfsrs = require('ts-fsrs');
const binding = require('@open-spaced-repetition/binding');

const DEFAULTS = [...tsfsrs.default_w];
// A learner unlike the median one: firmer first memories, a steeper curve.
const LEARNER = [0.5, 1.8, 4.2, 12.0, 5.8, 1.1, 2.2, 0.02, 1.6, 0.2, 1.1, 1.7, 0.09, 0.35,
                 1.2, 0.45, 2.4, 0.4, 0.3, 0.1, 0.3];

function algorithm(w) {
  return new tsfsrs.FSRSAlgorithm(tsfsrs.generatorParameters({ w, enable_short_term: true }));
}

// Review sequences: [days since the previous answer, grade] (the first one's days are 0).
const SEQUENCES = [
  [[0, 3], [1, 3], [3, 3], [8, 3], [21, 3], [55, 3]],
  [[0, 1], [0, 3], [1, 3], [2, 1], [0, 3], [4, 3]],
  [[0, 4], [15, 4], [40, 2], [90, 3]],
  [[0, 2], [2, 2], [5, 1], [1, 2], [0, 4], [10, 3]],
  [[0, 3], [0, 3], [0, 1], [3, 4], [30, 1], [200, 3]],
  [[0, 1], [1, 1], [1, 1], [1, 1], [7, 2]],
  [[0, 4], [365, 1], [2, 4], [0, 2], [720, 3]],
];

function statesLines(name, w) {
  const ts = algorithm(w);
  const fsrs = new binding.FSRSBinding(w);
  const lines = [];
  SEQUENCES.forEach((seq, index) => {
    let tsState = null;
    let rsState = null;
    seq.forEach(([days, grade], step) => {
      tsState = ts.next_state(tsState, days, grade);
      const next = fsrs.nextStates(rsState, 0.9, days);
      rsState = [null, next.again, next.hard, next.good, next.easy][grade].memory;
      lines.push([name, index, step, days, grade, tsState.stability, tsState.difficulty,
                  rsState.stability, rsState.difficulty].join(','));
    });
  });
  return lines;
}

function curveLines(name, w) {
  const ts = algorithm(w);
  const lines = [];
  for (const [t, s] of [[0, 1], [1, 1], [1, 2], [3, 4], [10, 4], [100, 12.5], [1000, 30]]) {
    lines.push(['recall', name, t, s, ts.forgetting_curve(t, s)].join(','));
  }
  for (const r of [0.7, 0.8, 0.85, 0.9, 0.95, 0.97]) {
    lines.push(['interval', name, r, 10, ts.calculate_interval_modifier(r) * 10].join(','));
  }
  return lines;
}

// A learner with parameters `w` studying: each card answered first on a
// random day, next after the first stability of its first grade (so that
// the reference optimizer's outlier filter, which drops rare first
// intervals, keeps every card), then after intervals from a third to three
// times the one for a recall of 0.9 (so that the curve's shape shows); a
// miss asked once more the same day half the time. Grades: miss 1;
// recalled 2, 3 or 4.
function simulate(w, reviews, seed) {
  const ts = algorithm(w);
  const rand = random(seed);
  const grade = () => {
    const u = rand();
    return u < 0.15 ? 2 : u < 0.85 ? 3 : 4;
  };
  const cards = [];
  let count = 0;
  while (count < reviews) {
    const card = [];
    let day = Math.floor(rand() * 60);
    let g = rand() < 0.25 ? 1 : grade();
    let state = ts.next_state(null, 0, g);
    const firstInterval = Math.max(1, Math.round(w[g - 1]));
    card.push([day, g]);
    let length = 2 + Math.floor(rand() * 10);
    while (card.length < length) {
      let elapsed;
      if (g === 1 && rand() < 0.5) {
        elapsed = 0;
      } else if (card.every(([d]) => d === card[0][0])) {
        elapsed = firstInterval;
      } else {
        const ivl = state.stability * ts.calculate_interval_modifier(0.9);
        elapsed = Math.max(1, Math.round(ivl * Math.exp(2.2 * rand() - 1.1)));
      }
      const r = elapsed === 0 ? 1 : ts.forgetting_curve(elapsed, state.stability);
      g = elapsed === 0 ? grade() : rand() < r ? grade() : 1;
      state = ts.next_state(state, elapsed, g);
      day += elapsed;
      card.push([day, g]);
    }
    count += card.length - 1;
    cards.push(card);
  }
  return cards;
}

function itemsOf(cards) {
  const items = [];
  for (const card of cards) {
    const reviews = card.map(([day, g], i) =>
      new binding.FSRSBindingReview(g, i === 0 ? 0 : day - card[i - 1][0]));
    for (let i = 1; i < reviews.length; ++i) {
      if (reviews[i].deltaT > 0) items.push(new binding.FSRSBindingItem(reviews.slice(0, i + 1)));
    }
  }
  return items;
}

const states = ['set,sequence,step,days,grade,ts_stability,ts_difficulty,rs_stability,rs_difficulty',
                ...statesLines('default', DEFAULTS), ...statesLines('learner', LEARNER)];
writeFileSync(join(outDir, 'memory_states.csv'), states.join('\n') + '\n');
writeFileSync(join(outDir, 'memory_curve.csv'),
              ['kind,set,x,stability,value', ...curveLines('default', DEFAULTS),
               ...curveLines('learner', LEARNER)].join('\n') + '\n');

const cards = simulate(LEARNER, targetReviews, 27);
const lines = ['card,day,grade'];
cards.forEach((card, c) => card.forEach(([day, g]) => lines.push(`${c},${day},${g}`)));
writeFileSync(join(outDir, 'fit_reviews.csv'), lines.join('\n') + '\n');

// Without the count of reviews, which the committed figures do not hold.
const figures = (w) => {
  const { logLoss, rmseBins } = plainMetrics(binding, w, cards);
  return { logLoss, rmseBins };
};

const items = itemsOf(cards);
const started = process.hrtime.bigint();
const fitted = await binding.computeParameters(items, { enableShortTerm: true });
const seconds = Number(process.hrtime.bigint() - started) / 1e9;
const metrics = (w) => new binding.FSRSBinding(w).evaluate(items);
const reference = {
  note: 'made by make_reference.mjs with ts-fsrs 5.4.2 and @open-spaced-repetition/binding 0.5.0',
  cards: cards.length,
  predicted_reviews: items.length,
  simulated_from: LEARNER,
  binding_parameters: fitted,
  binding_fit_seconds: seconds,
  fitted: figures(fitted),
  defaults: figures(DEFAULTS),
  simulated: figures(LEARNER),
  binding_evaluate_fitted: metrics(fitted),
  binding_evaluate_defaults: metrics(DEFAULTS),
};
writeFileSync(join(outDir, 'fit_reference.json'), JSON.stringify(reference, null, 1) + '\n');
console.log(`${items.length} predicted reviews, binding fit ${seconds.toFixed(3)} s`,
            JSON.stringify(reference.fitted));
