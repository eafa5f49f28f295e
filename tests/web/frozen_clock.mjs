// The desktop stories' frozen moment (local time = UTC here), for the story and the bench: the
// program seeds its problems from it, so the first problem has its right card in slot 3.
// performance.now(), the program's tick count, runs on.
export const MOMENT = Date.UTC(2026, 11, 6, 10, 20, 30);

// Freezes the tab's wall clock at MOMENT before the page's own scripts run, as the desktop
// stories' libfaketime does.
export async function freezeClock(page) {
  await page.emulateTimezone('UTC');
  await page.evaluateOnNewDocument((moment) => {
    const Real = Date;
    globalThis.Date = function Date(...args) {
      if (!new.target) return new Real(moment).toString();
      return Reflect.construct(Real, args.length ? args : [moment], new.target);
    };
    Object.assign(Date, { prototype: Real.prototype, now: () => moment, parse: Real.parse, UTC: Real.UTC });
  }, MOMENT);
}
