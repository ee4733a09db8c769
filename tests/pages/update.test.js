// The update page in the workbench: the project's stored systems against the platform's versions, in the
// add-on's language; the brand publishing a new version is what puts a system on the list.
import assert from 'node:assert/strict';
import { randomUUID } from 'node:crypto';
import { readFileSync } from 'node:fs';
import { test } from 'node:test';
import { chooseVelmarItem, eventually, openWorkbench, projectText, script, sharedChromium, skipReason, speaking } from './workbench.js';

const UpdateMenu = 32502;
const UpdateWindow = 'iframe[name="velmar-window-3"]';
const Product = 'VELMAR-MS75-2x12.5';

// A project that keeps the platform's text of the product as downloaded: the version of `timeStamp`
// (none when null) under a stored-system GUID.
function projectWithStoredSystem(timeStamp) {
  const system = JSON.parse(readFileSync(new URL(`../../services/catalog/${Product}.json`, import.meta.url), 'utf8'));
  if (timeStamp === null) delete system.TimeStamp;
  else system.TimeStamp = timeStamp;
  const text = `${JSON.stringify({ [Product]: system })}\0`;
  const moduleData = [{ name: randomUUID().toUpperCase(), version: 1, platformSign: 0x5757, data: Buffer.from(text).toString('base64') }];
  return projectText({ moduleData });
}

const catalogStamp = JSON.parse(readFileSync(new URL(`../../services/catalog/${Product}.json`, import.meta.url), 'utf8')).TimeStamp;
const cases = [
  {
    what: 'a system the brand published again, in Dutch', language: 'nl-BE', country: 'BE', stored: catalogStamp, publish: true,
    title: 'Systemen bijwerken', listed: [Product], status: '', updated: 'De systemen zijn bijgewerkt.',
  },
  {
    what: 'nothing when the platform has the stored version, in French', language: 'fr-BE', country: 'BE', stored: catalogStamp, publish: false,
    title: 'Mettre à jour les systèmes', listed: [], status: 'Tous les systèmes du projet sont à jour.',
  },
  {
    what: 'a stored system without a time stamp, in English', language: 'en-US', country: 'INT', stored: null, publish: false,
    title: 'Update systems', listed: [Product], status: '',
  },
];

const chromium = sharedChromium();

for (const c of cases) {
  test(`the update page lists ${c.what}`, { skip: skipReason }, async (t) => {
    const { workbench, page } = await openWorkbench(t, chromium, {
      project: projectWithStoredSystem(c.stored),
      prepare: speaking(c.country, c.language),
    });
    if (c.publish) await script(workbench, { cmd: 'platform.publish', id: Product, values: { Thickness: '137.5' } });

    await chooseVelmarItem(page, UpdateMenu, 1);
    const dialog = page.frameLocator(UpdateWindow);
    await dialog.getByRole('heading', { name: c.title }).waitFor();
    // The list comes once the platform has answered for every stored system.
    await eventually(async () => assert.equal(await dialog.locator('#status').textContent(), c.status));
    assert.deepEqual(await dialog.locator('#systems li').allTextContents(), c.listed);
    assert.equal(await dialog.locator('#updateAll').isVisible(), c.listed.length > 0);
    if (c.updated === undefined) return;

    // A system no wall uses only has its composite and stored text replaced, which Archicad does not undo:
    // the update leaves no step to undo.
    await dialog.locator('#updateAll').click();
    await eventually(async () => assert.equal(await dialog.locator('#status').textContent(), c.updated));
    assert.equal(await dialog.locator('#updateAll').isVisible(), false);
    assert.deepEqual((await script(workbench, { cmd: 'undo.list' })).steps, []);
  });
}
