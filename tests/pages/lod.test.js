// The level-of-detail page in the workbench: after the Lod menu changes the active level of a project whose
// composites the add-on built at other levels, the page shows how they compare, in the add-on's language.
import assert from 'node:assert/strict';
import { randomUUID } from 'node:crypto';
import { test } from 'node:test';
import { chooseVelmarItem, openWorkbench, projectText, sharedChromium, skipReason, speaking } from './workbench.js';

const LodMenu = 32501;
const LodWindow = 'iframe[name="velmar-window-6"]';

// The 292 bytes the add-on keeps in a composite it built: system name, stored system, time stamp, level.
function compositeTag(name, lod) {
  const bytes = Buffer.alloc(292);
  bytes.write(name, 0, 'latin1');
  bytes.writeInt32LE(lod, 288);
  return bytes.toString('base64');
}

function projectWithComposites(lods) {
  const attributes = lods.map((lod, index) => ({
    type: 'composite', guid: randomUUID().toUpperCase(), name: `Velmar wall ${index + 1}`,
    userData: { version: 1, platformSign: 0x5757, data: compositeTag(`System ${lod}`, lod) },
  }));
  return projectText({ attributes });
}

const cases = [
  {
    what: 'composites below the active level, in Dutch', language: 'nl-BE', lods: [100], item: 3,
    active: 'Actief detailniveau: 300', findings: ['Sommige samenstellingen zijn op een lager detailniveau gemaakt.'],
    lowerEnabled: true, close: 'Niet nu',
  },
  {
    what: 'composites at or above the active level, in French', language: 'fr-BE', lods: [500, 200], item: 2,
    active: 'Niveau de détail actif : 200',
    findings: ['Certaines compositions ont été créées à ce niveau de détail ou à un niveau supérieur.'],
    lowerEnabled: false, close: 'Plus tard',
  },
  {
    what: 'composites on both sides, in English', language: 'en-US', country: 'INT', lods: [100, 400], item: 2,
    active: 'Active level of detail: 200',
    findings: ['Some composites were built at a lower level of detail.', 'Some composites were built at this level of detail or a higher one.'],
    lowerEnabled: true, close: 'Not now',
  },
];

const chromium = sharedChromium();

for (const c of cases) {
  test(`the LOD page shows ${c.what}`, { skip: skipReason }, async (t) => {
    const { page } = await openWorkbench(t, chromium, {
      project: projectWithComposites(c.lods),
      prepare: speaking(c.country ?? 'BE', c.language),
    });

    await chooseVelmarItem(page, LodMenu, c.item);
    const dialog = page.frameLocator(LodWindow);
    await dialog.getByText(c.active).waitFor();
    assert.deepEqual(await dialog.locator('#findings li').allTextContents(), c.findings);
    assert.equal(await dialog.locator('#updateLower').isEnabled(), c.lowerEnabled);

    await dialog.getByRole('button', { name: c.close }).click();
    await page.locator(LodWindow).waitFor({ state: 'detached' });
  });
}
