// The workbench as a small Archicad: the floor plan selects by click and box, draws with the wall tool and
// undoes by step name; the info panel edits geometry, classification and property values as a user does.
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { eventually, openWorkbench, script, sharedChromium, skipReason, speaking, startWorkbench } from './workbench.js';

const chromium = sharedChromium();

// A room: two walls 6 m long, 4 m apart, on their centre lines, and the slab between them.
async function room(workbench) {
  const wall = { cmd: 'element.new', type: 'wall', thickness: 0.2, referenceLine: 'Center' };
  const a = (await script(workbench, { ...wall, begin: [0, 0], end: [6, 0] })).guid;
  const b = (await script(workbench, { ...wall, begin: [0, 4], end: [6, 4] })).guid;
  const slab = (await script(workbench, { cmd: 'element.new', type: 'slab', polygon: [[0, 0], [6, 0], [6, 4], [0, 4]] })).guid;
  return { a, b, slab };
}

// The page's pixel of a point in metres, as the plan draws it now.
async function pixel(page, [x, y]) {
  const canvas = page.locator('#plan');
  const box = await canvas.boundingBox();
  const view = JSON.parse(await canvas.getAttribute('data-view'));
  return { x: box.x + (x - view.x) * view.scale + box.width / 2, y: box.y + box.height / 2 - (y - view.y) * view.scale };
}

async function selection(workbench) {
  return (await script(workbench, { cmd: 'selection' })).guids.sort();
}

// A value typed as a user does: it counts once Enter is pressed.
async function typeInto(input, text) {
  await input.fill(text);
  await input.press('Enter');
}

async function openEdit(page) {
  await page.getByRole('button', { name: 'Edit', exact: true }).click();
  return page.locator('.menu.open .dropdown .menu-item');
}

test('the floor plan selects by click and box, draws a wall and undoes it by name', { skip: skipReason }, async (t) => {
  const { workbench, page } = await openWorkbench(t, chromium, {});
  const { a, b, slab } = await room(workbench);
  // The page fits its first look at the project in view, which may have been one wall.
  await page.locator('#planStatus', { hasText: 'of 3 elements in view' }).waitFor();
  await page.getByRole('button', { name: 'Fit in window' }).click();
  await page.locator('#planStatus', { hasText: '3 of 3 elements in view' }).waitFor();

  const click = async (point, modifier) => {
    const { x, y } = await pixel(page, point);
    if (modifier) await page.keyboard.down(modifier);
    await page.mouse.click(x, y);
    if (modifier) await page.keyboard.up(modifier);
  };
  const drag = async (from, to) => {
    const [start, end] = [await pixel(page, from), await pixel(page, to)];
    await page.mouse.move(start.x, start.y);
    await page.mouse.down();
    await page.mouse.move(end.x, end.y, { steps: 5 });
    await page.mouse.up();
  };
  const steps = [
    { what: 'a click on a wall over the slab picks the wall', act: () => click([3, 0]), selected: [a] },
    { what: 'Shift adds the other wall', act: () => click([3, 4], 'Shift'), selected: [a, b] },
    { what: 'a click inside the slab picks the slab', act: () => click([3, 2]), selected: [slab] },
    // Fitted, the room fills nine tenths of the plan: the boxes stay inside it.
    { what: 'a box dragged to the right takes what lies inside', act: () => drag([-0.15, 3.85], [6.15, 4.15]), selected: [b] },
    { what: 'a box dragged to the left takes what it touches', act: () => drag([6.15, 4.15], [-0.15, 3.85]), selected: [b, slab] },
    { what: 'Escape empties the selection', act: () => page.keyboard.press('Escape'), selected: [] },
  ];
  for (const step of steps) {
    await step.act();
    await eventually(async () => assert.deepEqual(await selection(workbench), [...step.selected].sort(), step.what));
  }

  await page.getByRole('radio', { name: 'Wall' }).click();
  await click([1, 1]);
  await click([5, 1]);
  await page.keyboard.press('Escape');
  await page.locator('#planStatus', { hasText: '4 of 4 elements in view' }).waitFor();
  const drawn = (await script(workbench, { cmd: 'elements' })).elements.at(-1);
  const { element: wall } = await script(workbench, { cmd: 'element.get', guid: drawn.guid });
  assert.deepEqual([wall.type, wall.begin, wall.end], ['wall', [1, 1], [5, 1]]);

  const items = await openEdit(page);
  assert.deepEqual((await items.allTextContents()).slice(0, 2), ['Undo Create Wall', 'Redo']);
  await items.first().click();
  await page.locator('#planStatus', { hasText: '3 of 3 elements in view' }).waitFor();
  assert.deepEqual((await (await openEdit(page)).allTextContents()).slice(0, 2), ['Undo Create Slab', 'Redo Create Wall']);
});

// A fresh installation speaks Dutch; French is chosen in the settings. Both write the decimal comma.
const InfoLanguages = [
  { language: 'nl-BE', height: 'Hoogte', thickness: 'Dikte', typed: '3,25', refused: 'drie' },
  { language: 'fr-BE', height: 'Hauteur', thickness: 'Épaisseur', typed: '3.25', refused: '3,2,5' },
];
for (const l of InfoLanguages) {
  test(`the info panel in ${l.language} edits the selected wall's geometry, classification and property values`, { skip: skipReason }, async (t) => {
    const { workbench, page } = await openWorkbench(t, chromium, { prepare: speaking('BE', l.language) });
    const { a } = await room(workbench);
    await script(workbench, { cmd: 'attribute.new', type: 'composite', name: 'Build-up', skins: [{ material: 'Gypsum Board', thickness: 0.1 }] });
    await script(workbench, { cmd: 'select', guids: [a] });
    const info = page.locator('#info');
    await info.getByText(a).waitFor();

    const wall = async () => (await script(workbench, { cmd: 'element.get', guid: a })).element;
    const fire = async () => (await script(workbench, { cmd: 'element.properties', guid: a })).values
      .find((value) => value.name === 'Fire Resistance Requirement');
    const partition = (await script(workbench, { cmd: 'classifications' })).systems[0].items[0].children[0];
    const height = () => info.getByRole('textbox', { name: l.height, exact: true });
    const edits = [
      {
        what: 'the height, typed with the decimal comma or point',
        edit: () => typeInto(height(), l.typed),
        holds: async () => assert.equal((await wall()).height, 3.25),
        step: 'Edit Element',
      },
      {
        what: 'a height that is not a number, refused where it was typed',
        edit: async () => {
          // The field drawn from the wall as it now is: text typed into the earlier one is dropped when the
          // panel is drawn again with another value under it, as it should be.
          await eventually(async () => assert.equal(await height().getAttribute('data-shown'), '3,25'));
          await typeInto(height(), l.refused);
        },
        holds: async () => {
          assert.equal(await height().getAttribute('aria-invalid'), 'true');
          assert.equal(await height().inputValue(), '3,25');
          assert.match(await page.locator('#notice').textContent(), new RegExp(l.refused));
          assert.equal((await wall()).height, 3.25);
        },
        step: 'Edit Element',
      },
      {
        what: 'the classification',
        edit: () => info.locator('.field', { hasText: 'ARCHICAD Classification' }).locator('select').selectOption(partition.guid),
        holds: async () => assert.equal((await wall()).classification[0].item, partition.guid),
        step: 'Classify',
      },
      {
        what: 'a property value',
        edit: () => typeInto(info.getByLabel('Fire Resistance Requirement'), '60'),
        holds: async () => assert.deepEqual(await fire(), { ...(await fire()), value: 60, status: 'normal' }),
        step: 'Set Property Value',
      },
      {
        what: 'the property back to its default',
        edit: () => info.locator('tr', { hasText: 'Fire Resistance Requirement' }).getByTitle(/default/).click(),
        holds: async () => assert.equal((await fire()).status, 'undefined'),
        step: 'Set Property Value',
      },
      {
        what: 'the wall put on a composite',
        edit: () => info.locator('.field', { hasText: 'Composite: Build-up' }).locator('select').selectOption({ label: 'Composite: Build-up' }),
        holds: async () => assert.equal(await info.locator('.field', { hasText: l.thickness }).locator('.composite-thickness').textContent(), '100 mm'),
        step: 'Edit Element',
      },
      {
        what: 'the composite rebuilt thicker: the wall follows, with no step of its own',
        edit: () => script(workbench, { cmd: 'attribute.set', type: 'composite', index: 1, skins: [{ material: 'Gypsum Board', thickness: 0.1 }, { material: 'Gypsum Board', thickness: 0.0375 }] }),
        holds: async () => {
          assert.equal(await info.locator('.field', { hasText: l.thickness }).locator('.composite-thickness').textContent(), '137,5 mm');
          assert.ok(Math.abs((await wall()).thickness - 0.1375) < 1e-9);
        },
        step: 'Edit Element',
      },
    ];
    for (const c of edits) {
      await c.edit();
      await eventually(c.holds);
      await eventually(async () => assert.equal((await script(workbench, { cmd: 'undo.list' })).steps[0], c.step, c.what));
      // The panel shows the project as it is now, ready for the next edit.
      await info.locator('h3').waitFor();
    }
  });
}

test('File saves under an accented name, asks before replacing it, opens it again, keeps the project over a damaged file and across a restart', { skip: skipReason }, async (t) => {
  const first = await startWorkbench({});
  let workbench = first;
  const page = await chromium.context.newPage();
  t.after(async () => {
    await page.close();
    assert.equal(await workbench.stop(), 0, 'velmar-workbench stops cleanly');
  });
  await page.goto(first.address);
  await room(workbench);
  await page.locator('#planStatus', { hasText: 'of 3 elements in view' }).waitFor();
  const file = async (item) => {
    await page.getByRole('button', { name: 'File', exact: true }).click();
    await page.getByRole('button', { name: item, exact: true }).click();
  };
  const saved = join(workbench.data, 'projects', 'Café Liège.json');

  await file('Save As…');
  await page.getByLabel('Name').fill('.hidden');
  await page.getByRole('button', { name: 'Save', exact: true }).click();
  await page.getByRole('alert').getByText('A name cannot start with a dot.').waitFor();
  await page.getByLabel('Name').fill('Café Liège');
  await page.getByRole('button', { name: 'Save', exact: true }).click();
  await page.locator('#projectName', { hasText: 'Café Liège' }).waitFor();
  assert.equal(JSON.parse(readFileSync(saved, 'utf8')).elements.length, 3);

  await script(workbench, { cmd: 'element.new', type: 'wall', begin: [0, 8], end: [6, 8] });
  await file('Save As…');
  await page.getByRole('button', { name: 'Save', exact: true }).click();
  const ask = page.getByRole('alertdialog', { name: 'Replace project?' });
  await ask.getByText('“Café Liège” already exists in My projects.').waitFor();
  assert.equal(JSON.parse(readFileSync(saved, 'utf8')).elements.length, 3, 'nothing is replaced before the answer');
  await ask.getByRole('button', { name: 'Replace' }).click();
  await eventually(() => assert.equal(JSON.parse(readFileSync(saved, 'utf8')).elements.length, 4));

  await file('New');
  await page.locator('#planStatus', { hasText: '0 of 0 elements' }).waitFor();
  await file('Open…');
  await page.getByRole('dialog').getByRole('button', { name: 'Café Liège' }).click();
  await page.locator('#planStatus', { hasText: '4 of 4 elements in view' }).waitFor();

  writeFileSync(join(workbench.data, 'projects', 'Damaged.json'), '{"format":"velmar-sim-project","version":2,"elements":[{');
  await file('Open…');
  await page.getByRole('dialog').getByRole('button', { name: 'Damaged' }).click();
  await page.locator('#notice', { hasText: 'Damaged.json: not JSON' }).waitFor();
  assert.equal(await page.locator('#projectName').textContent(), 'Café Liège');
  assert.equal((await script(workbench, { cmd: 'elements' })).elements.length, 4);

  // Stopped and started again on its data folder, as make run does, the saved project is still there.
  assert.equal(await first.stop({ keep: true }), 0, 'velmar-workbench stops cleanly');
  workbench = await startWorkbench({ data: first.data });
  await page.goto(workbench.address);
  await file('Open…');
  await page.getByRole('dialog').getByRole('button', { name: 'Café Liège' }).click();
  await page.locator('#planStatus', { hasText: '4 of 4 elements in view' }).waitFor();
});
