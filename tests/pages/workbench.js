// What the page tests stand on: velmar-workbench on a fresh data folder and a free port, Debian's chromium
// to look at it, and a wait for what the page shows next.
import { spawn } from 'node:child_process';
import { once } from 'node:events';
import { existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import assert from 'node:assert/strict';
import { after, before } from 'node:test';
import { chromium } from 'playwright-core';

const repository = join(dirname(fileURLToPath(import.meta.url)), '../..');
const workbenchProgram = process.env.VELMAR_WORKBENCH ?? join(repository, 'build/debug/bin/velmar-workbench');
// Built beside the workbench.
const servicesProgram = join(dirname(workbenchProgram), 'velmar-services');
const chromiumPath = '/usr/bin/chromium';

// The reason every page test is skipped, or false. CTest reads "page tests skipped:" as a skip.
export const skipReason = existsSync(chromiumPath) ? false : `page tests skipped: ${chromiumPath} is missing (scripts/install-deps installs Debian's chromium)`;

// The database settings an installation ships, as a test may change them for the user's copy.
export function shippedSettings() {
  return JSON.parse(readFileSync(join(repository, 'resources/data/DatabaseSettings.28.json'), 'utf8'));
}

export function settingsFile(data) {
  return join(data, 'user/Velmar/Archicad/DatabaseSettings.28.json');
}

export function writeUserSettings(data, settings) {
  mkdirSync(dirname(settingsFile(data)), { recursive: true });
  writeFileSync(settingsFile(data), JSON.stringify(settings));
}

// A `prepare` (see startWorkbench) that gives the user the shipped settings in this country and language.
export function speaking(country, language) {
  return (data) => writeUserSettings(data, { ...shippedSettings(), defaultCountry: country, defaultLanguage: language });
}

// The text of a velmar-sim project file with no elements.
export function projectText({ attributes = [], moduleData = [] }) {
  return JSON.stringify({ format: 'velmar-sim-project', version: 1, elements: [], attributes, moduleData });
}

// Starts velmar-workbench; `prepare` gets the data folder first, `project` is the text of a project file,
// `routes` maps hosts to local bases (--route), `catalog` is the folder of the platform's systems, `data` an
// earlier run's data folder to start on again (kept by its stop). Answers its address, the web
// application's address and a stop that answers the exit code.
export async function startWorkbench({ prepare, project, routes = {}, catalog, data: kept } = {}) {
  const data = kept ?? mkdtempSync(join(tmpdir(), 'velmar-pages-'));
  prepare?.(data);
  const args = ['--data', data, '--port', '0'];
  for (const [host, base] of Object.entries(routes)) args.push('--route', `${host}=${base}`);
  if (catalog !== undefined) args.push('--catalog', catalog);
  if (project !== undefined) {
    writeFileSync(join(data, 'project.json'), project);
    args.push('--project', join(data, 'project.json'));
  }
  const child = spawn(workbenchProgram, args, { stdio: ['ignore', 'pipe', 'inherit'] });
  const exited = once(child, 'exit');
  const [address, webApplication] = await new Promise((resolve, reject) => {
    let output = '';
    const timer = setTimeout(() => reject(new Error(`velmar-workbench printed no address within 15 s: ${output}`)), 15000);
    child.stdout.on('data', (chunk) => {
      output += chunk;
      const found = /velmar-workbench: (http:\/\/\S+\/) \(web application at (http:\/\/\S+\/)\)/.exec(output);
      if (found) {
        clearTimeout(timer);
        resolve([found[1], found[2]]);
      }
    });
    exited.then(([code]) => reject(new Error(`velmar-workbench ended at start with ${code}: ${output}`)));
  });
  return {
    address,
    webApplication,
    data,
    // Keeps the data folder when `keep`, for a run that starts on it again.
    async stop({ keep = false } = {}) {
      child.kill('SIGTERM');
      const [code, signal] = await exited;
      if (!keep) rmSync(data, { recursive: true, force: true });
      return code ?? signal;
    },
  };
}

// Starts velmar-services (the relay and the product-data platform stand-ins) on free ports. Answers the
// relay's host base, its endpoint (ending in /Relay), the platform's base, and a stop.
export async function startServices() {
  const child = spawn(servicesProgram, [], { stdio: ['ignore', 'pipe', 'inherit'] });
  const exited = once(child, 'exit');
  const ports = await new Promise((resolve, reject) => {
    let output = '';
    const timer = setTimeout(() => reject(new Error(`velmar-services printed no ports within 15 s: ${output}`)), 15000);
    child.stdout.on('data', (chunk) => {
      output += chunk;
      const line = output.split('\n').find((text) => text.startsWith('{'));
      if (line !== undefined && output.includes('\n')) {
        clearTimeout(timer);
        resolve(JSON.parse(line));
      }
    });
    exited.then(([code]) => reject(new Error(`velmar-services ended at start with ${code}: ${output}`)));
  });
  return {
    relayBase: `http://127.0.0.1:${ports.relay}`,
    relay: `http://127.0.0.1:${ports.relay}/Relay`,
    platform: `http://127.0.0.1:${ports.platform}`,
    async stop() {
      child.kill('SIGTERM');
      const [code, signal] = await exited;
      return code ?? signal;
    },
  };
}

// One chromium for the tests of a file, launched before the first and closed after the last; it stands where
// a launched one does.
export function sharedChromium() {
  let launched;
  before(async () => { if (!skipReason) launched = await launchChromium(); });
  after(async () => launched?.close());
  return { get context() { return launched.context; } };
}

export async function launchChromium() {
  const profile = mkdtempSync(join(tmpdir(), 'velmar-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: chromiumPath,
    headless: true,
    viewport: { width: 1600, height: 1000 },
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
  });
  return {
    context,
    async close() {
      await context.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

// A workbench (as startWorkbench starts it) and a page of `browser` showing it; both end with test `t`,
// where the workbench must stop cleanly.
export async function openWorkbench(t, browser, options) {
  const workbench = await startWorkbench(options);
  const page = await browser.context.newPage();
  t.after(async () => {
    await page.close();
    assert.equal(await workbench.stop(), 0, 'velmar-workbench stops cleanly');
  });
  await page.goto(workbench.address);
  return { workbench, page };
}

// A velmar-sim command (docs/velmar-sim.md) run by the workbench as the user's action; its answer.
export async function script(workbench, command) {
  const response = await fetch(new URL('api/script', workbench.address), { method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify(command) });
  const answer = await response.json();
  assert.ok(answer.ok, `${command.cmd}: ${answer.error}`);
  return answer;
}

// Retries `check` (which throws while what it checks does not hold yet) until it passes or time is up.
export async function eventually(check, milliseconds = 10000) {
  const deadline = Date.now() + milliseconds;
  for (;;) {
    try {
      return await check();
    } catch (error) {
      if (Date.now() > deadline) throw error;
      await new Promise((resume) => setTimeout(resume, 100));
    }
  }
}

// The texts of the items of the workbench's Velmar menu, submenus as "Lod ▸".
export async function velmarMenuTexts(page) {
  return page.locator('.menu', { has: page.getByRole('button', { name: 'Velmar', exact: true }) })
    .locator(':scope > .dropdown > li > .menu-item').allTextContents();
}

export async function chooseVelmarItem(page, menu, item) {
  await page.getByRole('button', { name: 'Velmar', exact: true }).click();
  const submenu = page.locator('.submenu', { has: page.locator(`[data-menu="${menu}"]`) });
  if (await submenu.count() > 0) await submenu.hover();
  await page.locator(`[data-menu="${menu}"][data-item="${item}"]`).click();
}

// A stored system with the performance parameters the built-in rules read (10 m expansion joint, 4.5 m
// and 5 m heights), as a download keeps it in the project: the platform's answer, zero-terminated.
export function storedRuleSystem(systemId) {
  const attribute = (id, value, unit, dataType) => ({ ID: id, Unit: unit, Value: { nl_NL: value, fr_FR: value, en_US: value }, DataType: dataType });
  const parameters = [
    attribute('DILATATIE', '10000', 'mm', 'Length'), attribute('MH_FOA1', '4500', 'mm', 'Length'),
    attribute('MH_FOA2', '5000', 'mm', 'Length'), attribute('BRANDWERENDHEID', '60', '', 'Number'),
    attribute('ASIRW', '45', 'dB', 'Number'), attribute('LUCHTGELUIDISOLATIE_DNT_A_K', '40', 'dB', 'Number'),
    attribute('Weight', '48', 'kg', 'Number'),
  ];
  const system = { 'VELMAR-TEST': { ID: 'VELMAR-TEST', TimeStamp: '2026-03-02 10:20:30',
    Attributes: { general: {}, propertyset: { '10_Prestaties': Object.fromEntries(parameters.map((p) => [p.ID, p])) } } } };
  const data = Buffer.concat([Buffer.from(JSON.stringify(system)), Buffer.alloc(1)]).toString('base64');
  return { name: systemId, version: 1, platformSign: 0x5757, data };
}

// The user data the property writer gives a linked element: the stored system's id as 16 bytes.
export function linkTo(systemId) {
  return { version: 1, platformSign: 0x5757, data: Buffer.from(systemId.replace(/-/g, ''), 'hex').toString('base64') };
}
