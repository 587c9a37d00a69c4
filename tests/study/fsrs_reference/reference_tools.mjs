// What both reference scripts beside this one use.

// A deterministic random source (mulberry32).
export function random(seed) {
  let a = seed >>> 0;
  return () => {
    a = (a + 0x6d2b79f5) >>> 0;
    let t = a;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

// The mean log loss and RMSE(bins) of every predicted review, all counting
// alike, with the reference optimizer's model (its evaluate() weighs recent
// items more and leaves some out) and its bins: interval, long-term reviews
// so far plus one, long-term lapses before.
export function plainMetrics(binding, w, cards) {
  const fsrs = new binding.FSRSBinding(w);
  const decay = -w[20];
  const factor = Math.pow(0.9, 1 / decay) - 1;
  const bins = new Map();
  let loss = 0;
  let n = 0;
  for (const card of cards) {
    let state = null;
    let longTerm = 0;
    let lapses = 0;
    card.forEach(([day, g], i) => {
      const days = i === 0 ? 0 : day - card[i - 1][0];
      if (days > 0) {
        ++longTerm;
        const p = Math.min(Math.max(Math.pow(1 + factor * days / state.stability, decay), 1e-4),
                           1 - 1e-4);
        const y = g > 1 ? 1 : 0;
        loss -= y ? Math.log(p) : Math.log(1 - p);
        ++n;
        const key = [Math.floor(Math.log(days) / Math.log(3.62)),
                     Math.floor(Math.log(longTerm + 1) / Math.log(1.89)),
                     lapses === 0 ? -1 : Math.floor(Math.log(lapses) / Math.log(1.73))].join();
        const bin = bins.get(key) ?? { n: 0, p: 0, y: 0 };
        bin.n += 1;
        bin.p += p;
        bin.y += y;
        bins.set(key, bin);
        if (g === 1) ++lapses;
      }
      const next = fsrs.nextStates(state, 0.9, days);
      state = [null, next.again, next.hard, next.good, next.easy][g].memory;
    });
  }
  let squared = 0;
  for (const bin of bins.values()) squared += bin.n * ((bin.p - bin.y) / bin.n) ** 2;
  return { logLoss: loss / n, rmseBins: Math.sqrt(squared / n), reviews: n };
}
