// The result palette of Velmar > Check loaded with the results of 50 000 linked walls (six rules, about
// 300 000 element guids) against the same palette loaded with an empty run, in the page tests' chromium.
// Prints the ratio of the median loads and both in milliseconds; exits non-zero only when it could not
// measure. Run by scripts/bench with VELMAR_WORKBENCH set to the workbench of the build.
import { randomUUID } from 'node:crypto';
import { existsSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const CheckMenu = 32504;
const Walls = 50000;
const Rules = 6;
const Loads = 7;
// Check over 50 000 walls in a debug build takes a while, and so does the plan drawing them.
const Patience = { timeout: 300000 };
const here = dirname(fileURLToPath(import.meta.url));

function fail(message) {
  console.error(`ruleresult.bench: ${message}`);
  process.exit(1);
}

try {
  await import('playwright-core');
} catch {
  fail(`playwright-core is not installed in ${here}: scripts/install-deps installs it (npm ci in tests/pages)`);
}
const { chooseVelmarItem, launchChromium, linkTo, script, shippedSettings, skipReason, startWorkbench, storedRuleSystem, writeUserSettings } =
  await import('./workbench.js');

const workbenchProgram = process.env.VELMAR_WORKBENCH ?? join(here, '../../build/debug/bin/velmar-workbench');
if (skipReason) {
  console.log(skipReason.replace('page tests skipped', 'result page benchmark skipped'));
  process.exit(0);
}
if (!existsSync(workbenchProgram)) fail(`${workbenchProgram} is missing: build velmar-workbench (or set VELMAR_WORKBENCH)`);

// The rules' stored system and the walls linked to it, written into the project file as the host saves
// them. Walls of 8 m and 12 m against a 10 m expansion joint, and of 2.7 m and 5 m against 4.5 m, so both
// the failed and the passed lists are long.
function project() {
  const systemId = randomUUID().toUpperCase();
  const userData = linkTo(systemId);
  const elements = Array.from({ length: Walls }, (_, i) => {
    const [x, y] = [(i % 200) * 15, Math.floor(i / 200) * 2];
    return { guid: randomUUID().toUpperCase(), type: 'wall', begin: [x, y], end: [x + (i % 2 === 0 ? 8 : 12), y],
      height: i % 3 === 0 ? 5 : 2.7, thickness: 0.1, baseOffset: 0, referenceLine: 'Outside', userData };
  });
  return JSON.stringify({ format: 'velmar-sim-project', version: 1, elements, attributes: [],
    moduleData: [storedRuleSystem(systemId)] });
}

// Run in the frame, also while it is still parsing: whether a load since the mark has drawn `expected`
// sections and set the status (with sections the page sets it right after drawing them; an empty run says so).
function drawn(expected) {
  return window.benchPreviousLoad === undefined && document.querySelectorAll('section.rule-result').length === expected
    && (expected > 0 || (document.getElementById('status')?.textContent ?? '') !== '');
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)] ?? NaN;

// Reloads the palette's frame `Loads` times, each load from the reload until it is drawn. Answers the
// median load and the median bridge call for the results, in ms.
async function measure(page, frame, sections) {
  const loads = [];
  const calls = [];
  const onFinished = (request) => {
    if (request.url().endsWith('/api/call') && request.postDataJSON()?.fn === 'ruleresult_getResults')
      calls.push(request.timing().responseEnd);
  };
  page.on('requestfinished', onFinished);
  for (let i = 0; i < Loads; ++i) {
    await frame.evaluate(() => { window.benchPreviousLoad = true; });
    const start = performance.now();
    await frame.evaluate(() => setTimeout(() => location.reload()));
    await frame.waitForFunction(drawn, sections, { polling: 'raf', ...Patience });
    loads.push(performance.now() - start);
  }
  page.off('requestfinished', onFinished);
  return { load: median(loads), call: median(calls) };
}

async function resultFrame(page, sections) {
  for (;;) {
    const frame = page.frames().find((f) => /^velmar-window-\d+$/.test(f.name()) && new URL(f.url()).pathname === '/ruleresult');
    if (frame !== undefined) {
      await frame.waitForFunction(drawn, sections, Patience);
      return frame;
    }
    await page.waitForTimeout(100);
  }
}

const chromium = await launchChromium();
const workbench = await startWorkbench({
  project: project(),
  prepare: (data) => writeUserSettings(data, { ...shippedSettings(), defaultCountry: 'INT', defaultLanguage: 'en-US' }),
});
let measured;
try {
  const page = await chromium.context.newPage();
  page.setDefaultTimeout(Patience.timeout);
  await page.goto(workbench.address);

  await chooseVelmarItem(page, CheckMenu, 1);
  const rules = page.frameLocator('iframe[name^="velmar-window-"]').first();
  await rules.locator('fieldset.rule').nth(Rules - 1).waitFor();
  await rules.locator('#run').click();
  const full = await measure(page, await resultFrame(page, Rules), Rules);

  // The rules page runs no check without a rule chosen; the add-on stores an empty run when asked to, so
  // the baseline asks as the page would.
  await chooseVelmarItem(page, CheckMenu, 1);
  const { windows } = await script(workbench, { cmd: 'windows' });
  const rulesWindow = windows.find((w) => w.visible && new URL(w.url).pathname === '/rules');
  await script(workbench, { cmd: 'call', window: rulesWindow.id, fn: 'rules_runRules', arg: JSON.stringify({ activeRules: [], targetProperties: [] }) });
  const none = await measure(page, await resultFrame(page, 0), 0);
  measured = { full, none };
} catch (error) {
  console.error(`ruleresult.bench: could not measure: ${error.message}`);
} finally {
  await workbench.stop();
  await chromium.close();
}
if (measured === undefined) process.exit(1);

const { full, none } = measured;
const ms = (value) => (Number.isFinite(value) ? `${Math.round(value)} ms` : 'not measured');
console.log(`Result page load, 50 000 results vs none: ${(full.load / none.load).toFixed(2)}x (${ms(full.load)} / ${ms(none.load)}) (goal: under a second)`);
console.log(`  of which the ruleresult_getResults bridge call: ${ms(full.call)} / ${ms(none.call)}`);
