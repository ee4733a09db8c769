// Velmar > Neutral and Velmar > Check on the large sample project (50 000 walls, each linked to a stored
// system with rules), in the workbench with its page open in the page tests' chromium, against velmar-sim on
// the same project. Prints the ratio of the medians and both in milliseconds; exits non-zero only when it
// could not measure. Run by scripts/bench with VELMAR_WORKBENCH set to the workbench of the build.
import { spawnSync } from 'node:child_process';
import { randomUUID } from 'node:crypto';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const NeutralMenu = 32505;
const CheckMenu = 32504;
const RulesWindow = 1;
const Runs = 3;
const Patience = 300000;
const here = dirname(fileURLToPath(import.meta.url));

function fail(message) {
  console.error(`workbench.bench: ${message}`);
  process.exit(1);
}

try {
  await import('playwright-core');
} catch {
  fail(`playwright-core is not installed in ${here}: scripts/install-deps installs it (npm ci in tests/pages)`);
}
const { launchChromium, linkTo, script, skipReason, startWorkbench, storedRuleSystem } = await import('./workbench.js');

const workbenchProgram = process.env.VELMAR_WORKBENCH ?? join(here, '../../build/debug/bin/velmar-workbench');
const simProgram = join(dirname(workbenchProgram), 'velmar-sim');
const projectFile = join(dirname(workbenchProgram), '../samples/sample-large.json');
if (skipReason) {
  console.log(skipReason.replace('page tests skipped', 'workbench benchmark skipped'));
  process.exit(0);
}
for (const needed of [workbenchProgram, simProgram, projectFile]) {
  if (!existsSync(needed)) fail(`${needed} is missing: build the samples, velmar-sim and velmar-workbench`);
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)] ?? NaN;

// The large sample with every wall linked to one stored system with rules, so Check has work to do.
const systemId = randomUUID().toUpperCase();
const project = (() => {
  const parsed = JSON.parse(readFileSync(projectFile, 'utf8'));
  parsed.moduleData = [...(parsed.moduleData ?? []), storedRuleSystem(systemId)];
  for (const element of parsed.elements) if (element.type === 'wall') element.userData = linkTo(systemId);
  return JSON.stringify(parsed);
})();

// One velmar-sim run over the project with the script's `lines`; its answers and its time in ms.
function simRun(lines) {
  const data = mkdtempSync(join(tmpdir(), 'velmar-bench-'));
  try {
    writeFileSync(join(data, 'project.json'), project);
    writeFileSync(join(data, 'script.jsonl'), [...lines, { cmd: 'quit' }].map((line) => JSON.stringify(line)).join('\n'));
    const start = performance.now();
    const run = spawnSync(simProgram, ['--data', data, '--project', join(data, 'project.json'), join(data, 'script.jsonl')],
      { encoding: 'utf8', timeout: Patience, maxBuffer: 1 << 28 });
    const elapsed = performance.now() - start;
    const answers = run.stdout.trim().split('\n').map((line) => JSON.parse(line));
    if (run.status !== 0 || answers.some((answer) => !answer.ok)) throw new Error(`velmar-sim: ${run.stdout.slice(0, 2000)}${run.stderr}`);
    return { answers, elapsed };
  } finally {
    rmSync(data, { recursive: true, force: true });
  }
}

// Every rule of the Check page, run as the page's Check button runs them.
const opening = { cmd: 'choose', menu: CheckMenu, item: 1 };
const rules = JSON.parse(simRun([opening, { cmd: 'call', window: RulesWindow, fn: 'rules_getRules' }]).answers[1].answer);
const running = { cmd: 'call', window: RulesWindow, fn: 'rules_runRules', arg: JSON.stringify({ activeRules: rules, targetProperties: [] }) };

const work = {
  Neutral: { lines: [{ cmd: 'choose', menu: NeutralMenu, item: 1 }], before: [] },
  Check: { lines: [opening, running], before: [opening] },
};

// The work's own time headless: a run that does it less a run that stops before it, each the median of `Runs`.
function headless({ lines, before }) {
  const time = (script) => median(Array.from({ length: Runs }, () => simRun(script).elapsed));
  return time(lines) - time(before.length > 0 ? before : [{ cmd: 'menus' }]);
}

// The work in the workbench, from the request until the host answers, `Runs` times; Neutral is chosen again
// each time (turning it over rewrites every wall), Check's dialog is opened again untimed.
async function inWorkbench({ lines, before }) {
  const chromium = await launchChromium();
  const workbench = await startWorkbench({ project });
  try {
    const page = await chromium.context.newPage();
    page.setDefaultTimeout(Patience);
    await page.goto(workbench.address);
    await page.locator('#planStatus', { hasText: 'elements in view' }).waitFor();
    const times = [];
    for (let i = 0; i < Runs; ++i) {
      for (const line of before) await script(workbench, line);
      const start = performance.now();
      for (const line of lines.slice(before.length)) {
        const answer = await script(workbench, line);
        if (!answer.ok) throw new Error(JSON.stringify(answer));
      }
      times.push(performance.now() - start);
    }
    return median(times);
  } finally {
    await workbench.stop();
    await chromium.close();
  }
}

let status = 0;
for (const [name, what] of Object.entries(work)) {
  try {
    const alone = headless(what);
    const shown = await inWorkbench(what);
    console.log(`${name} on 50 000 walls, workbench vs velmar-sim: ${(shown / alone).toFixed(2)}x (${Math.round(shown)} ms / ${Math.round(alone)} ms) ` +
      `(goal: at most 3x + 2 s, here ${Math.round(3 * alone + 2000)} ms)`);
  } catch (error) {
    console.error(`workbench.bench: could not measure ${name}: ${error.message}`);
    status = 1;
  }
}
process.exit(status);
