// Velmar > Check in the workbench: the rules page lists the rules of the systems the walls are linked to,
// runs them, and the result palette selects the failed wall in the plan and zooms to it.
import assert from 'node:assert/strict';
import { randomUUID } from 'node:crypto';
import { test } from 'node:test';
import { chooseVelmarItem, eventually, linkTo, openWorkbench, projectText, script, sharedChromium, skipReason, speaking, storedRuleSystem } from './workbench.js';

const CheckMenu = 32504;
const RulesWindow = 'iframe[name="velmar-window-1"]';
const ResultWindow = 'iframe[name="velmar-window-5"]';
const systemId = randomUUID().toUpperCase();

const linked = linkTo(systemId);

const cases = [
  { language: 'nl-BE', rule: 'Maximale lengte', run: 'Controleren', failed: 'Niet voldaan: 1', passed: 'Voldaan: 1', select: 'Selecteren in het model' },
  { language: 'en-US', country: 'INT', rule: 'Maximum length', run: 'Check', failed: 'Failed: 1', passed: 'Passed: 1', select: 'Select in the model' },
  { language: 'fr-BE', none: /existent en néerlandais et en anglais/ },
];

const chromium = sharedChromium();
const Screen = { width: 1440, height: 900 };

// The window's box, which must lie on the screen.
async function onScreen(page, selector) {
  const box = await page.locator(selector).boundingBox();
  assert.ok(box.x >= 0 && box.y >= 0 && box.x + box.width <= Screen.width && box.y + box.height <= Screen.height,
    `${selector} on a ${Screen.width} × ${Screen.height} screen: ${JSON.stringify(box)}`);
  return box;
}

for (const c of cases) {
  test(`Check in ${c.language}`, { skip: skipReason }, async (t) => {
    const { workbench, page } = await openWorkbench(t, chromium, {
      project: projectText({ moduleData: [storedRuleSystem(systemId)] }),
      prepare: speaking(c.country ?? 'BE', c.language),
    });
    const long = (await script(workbench, { cmd: 'element.new', type: 'wall', begin: [0, 0], end: [12, 0], userData: linked })).guid;
    await script(workbench, { cmd: 'element.new', type: 'wall', begin: [0, 2], end: [8, 2], userData: linked });
    await script(workbench, { cmd: 'element.new', type: 'wall', begin: [0, 4], end: [20, 4] });
    await page.setViewportSize(Screen);

    await chooseVelmarItem(page, CheckMenu, 1);
    const rules = page.frameLocator(RulesWindow);
    if (c.none !== undefined) {
      await rules.getByText(c.none).waitFor();
      assert.equal(await rules.locator('#run').isDisabled(), true);
      // The dialog is taller than the screen would hold: it fits, its page scrolls, and Escape closes it.
      await onScreen(page, RulesWindow);
      await page.keyboard.press('Escape');
      await page.locator(RulesWindow).waitFor({ state: 'detached' });
      return;
    }
    await onScreen(page, RulesWindow);
    await rules.getByText(c.rule, { exact: true }).waitFor();
    assert.equal(await rules.locator('fieldset.rule').count(), 6);
    await rules.getByRole('button', { name: c.run }).click();
    await page.locator(RulesWindow).waitFor({ state: 'detached' });

    const results = page.frameLocator(ResultWindow);
    const section = results.locator('section.rule-result', { has: results.getByRole('heading', { name: c.rule, exact: true }) });
    assert.equal(await section.locator('details.failed summary').textContent(), c.failed);
    assert.equal(await section.locator('details.passed summary').textContent(), c.passed);
    await section.locator('button.select.failed').click();
    await eventually(async () => {
      assert.deepEqual((await script(workbench, { cmd: 'selection' })).guids, [long]);
      assert.deepEqual((await script(workbench, { cmd: 'view' })).zoomedTo, [long]);
    });
    // The palette opens beside the plan's centre, where the view zooms to, and moves by its title bar.
    const palette = await onScreen(page, ResultWindow);
    const plan = await page.locator('#plan').boundingBox();
    assert.ok(palette.x > plan.x + plan.width / 2, `the palette at ${palette.x} leaves the plan's centre in sight`);
    const title = page.locator('#palettes .window-title').first();
    const grab = await title.boundingBox();
    await page.mouse.move(grab.x + 40, grab.y + grab.height / 2);
    await page.mouse.down();
    await page.mouse.move(grab.x - 60, grab.y + grab.height / 2 + 50, { steps: 4 });
    await page.mouse.up();
    const moved = await page.locator(ResultWindow).boundingBox();
    assert.deepEqual([Math.round(moved.x - palette.x), Math.round(moved.y - palette.y)], [-100, 50]);
  });
}
