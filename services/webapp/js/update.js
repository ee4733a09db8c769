// The update page: the project's systems that have a newer version on the platform, and one button that
// brings their composites and the properties of the walls and slabs built of them up to date.
import { applyTexts, textsFor } from './texts.js';
import { callHost, hasHost, tellHost, windowPage, activeLanguageCode } from './host.js';

const page = document.getElementById('page');
const status = document.getElementById('status');
const updateAll = document.getElementById('updateAll');
const { fitWindow, showStatus } = windowPage('update_resize', page, status);

async function showPage() {
  const code = await activeLanguageCode();
  const text = textsFor(code);
  applyTexts(page, text, code);
  document.getElementById('close').addEventListener('click', () => tellHost('update_close').catch(console.error));
  if (!hasHost()) {
    showStatus(text('host.missing'), true);
    return;
  }
  showStatus(text('update.loading'));
  await fitWindow();

  let names;
  try {
    names = await callHost('update_getSystemsToUpdate');
  } catch (error) {
    showStatus(text('update.loadFailed'), true);
    console.error(error);
    await fitWindow();
    return;
  }
  const offered = Array.isArray(names) && names.length > 0;
  document.getElementById('systems').replaceChildren(
    ...(offered ? names : []).map((name) => Object.assign(document.createElement('li'), { textContent: name })));
  document.getElementById('offer').hidden = !offered;
  updateAll.hidden = !offered;
  showStatus(offered ? '' : text('update.none'));

  updateAll.addEventListener('click', async () => {
    updateAll.disabled = true;
    showStatus(text('update.updating'));
    try {
      await callHost('update_runUpdate');
      document.getElementById('offer').hidden = true;
      updateAll.hidden = true;
      showStatus(text('update.updated'));
    } catch (error) {
      showStatus(text('update.updateFailed'), true);
      console.error(error);
      updateAll.disabled = false;
    }
    await fitWindow();
  });
  await fitWindow();
}

showPage();
