// The level-of-detail page: after the active level changed, shows whether the project's composites were
// built at a lower or a higher level, and lets the user rebuild them at the active one.
import { applyTexts, textsFor } from './texts.js';
import { callHost, callHostForJson, hasHost, tellHost, windowPage, activeLanguageCode } from './host.js';

const page = document.getElementById('page');
const choice = document.getElementById('choice');
const status = document.getElementById('status');
const { fitWindow, showStatus } = windowPage('lod_resize', page, status);

async function showPage() {
  const code = await activeLanguageCode();
  const text = textsFor(code);
  applyTexts(page, text, code);
  if (!hasHost()) {
    showStatus(text('host.missing'), true);
    return;
  }
  showStatus(text('lod.loading'));

  let lodStatus;
  try {
    lodStatus = await callHostForJson('lod_getLodStatus');
  } catch (error) {
    showStatus(text('lod.loadFailed'), true);
    console.error(error);
    return;
  }
  const lower = lodStatus.hasElementsWithLowerLod === true;
  const higher = lodStatus.hasElementsWitHigherLod === true;
  document.getElementById('active').textContent = text('lod.active', { lod: lodStatus.activeLod ?? '–' });
  const findings = [lower && 'lod.lower', higher && 'lod.higher'].filter(Boolean);
  document.getElementById('findings').replaceChildren(
    ...(findings.length > 0 ? findings : ['lod.none']).map((key) => Object.assign(document.createElement('li'), { textContent: text(key) })));

  const buttons = choice.querySelectorAll('button');
  const update = async (functionName) => {
    buttons.forEach((button) => { button.disabled = true; });
    showStatus(text('lod.updating'));
    try {
      await callHost(functionName);
      showStatus(text('lod.updated'));
      await tellHost('lod_close');
    } catch (error) {
      showStatus(text('lod.updateFailed'), true);
      console.error(error);
      buttons.forEach((button) => { button.disabled = false; });
      document.getElementById('updateLower').disabled = !lower;
    }
  };
  document.getElementById('updateLower').disabled = !lower;
  document.getElementById('updateLower').addEventListener('click', () => update('lod_updateLower'));
  document.getElementById('updateAll').addEventListener('click', () => update('lod_updateAll'));
  document.getElementById('close').addEventListener('click', () => tellHost('lod_close').catch(console.error));

  choice.hidden = !(lower || higher);
  showStatus('');
  await fitWindow();
}

showPage();
