// The settings page: the country and language of the product data, chosen from the add-on's database
// settings and saved back through it.
import { applyTexts, textsFor } from './texts.js';
import { callHost, callHostForJson, hasHost, tellHost, windowPage } from './host.js';

const page = document.getElementById('page');
const form = document.getElementById('choice');
const countrySelect = document.getElementById('country');
const languageSelect = document.getElementById('language');
const helpLink = document.getElementById('help');
const status = document.getElementById('status');
const { fitWindow, showStatus } = windowPage('config_resize', page, status);

function fillSelect(select, options, chosen) {
  select.replaceChildren(...options.map(({ value, label }) => new Option(label, value, false, value === chosen)));
}

async function showPage() {
  let active = { countryCode: '', languageCode: '' };
  let text = textsFor('');
  try {
    active = await callHostForJson('config_getActiveCountryAndLanguage');
    text = textsFor(active.languageCode);
  } catch (error) {
    applyTexts(page, text, '');
    showStatus(text(hasHost() ? 'configuration.loadFailed' : 'host.missing'), true);
    console.error(error);
    return;
  }
  applyTexts(page, text, active.languageCode);
  showStatus(text('configuration.loading'));

  let settings;
  try {
    settings = await callHostForJson('config_getDatabaseConfiguration');
    if (!Array.isArray(settings)) throw new Error('the database configuration is not a list');
  } catch (error) {
    showStatus(text('configuration.loadFailed'), true);
    console.error(error);
    return;
  }
  const countries = settings.filter((setting) => setting.countryCode && Array.isArray(setting.languages));
  if (countries.length === 0) {
    showStatus(text('configuration.empty'), true);
    return;
  }

  const countryOf = (code) => countries.find((setting) => setting.countryCode === code) ?? countries[0];
  const chosenLanguage = () =>
    countryOf(countrySelect.value).languages.find((language) => language.code === languageSelect.value);
  const showLanguages = (preferred) => {
    const languages = countryOf(countrySelect.value).languages.filter((language) => language.code);
    const code = languages.some((language) => language.code === preferred) ? preferred : languages[0]?.code;
    fillSelect(languageSelect, languages.map((language) => ({ value: language.code, label: language.label ?? language.code })), code);
    showHelp();
  };
  const showHelp = () => {
    helpLink.hidden = !chosenLanguage()?.helpUrl;
  };

  fillSelect(countrySelect, countries.map((setting) => ({ value: setting.countryCode, label: setting.countryLabel ?? setting.countryCode })),
    countryOf(active.countryCode).countryCode);
  showLanguages(active.languageCode);
  countrySelect.addEventListener('change', () => showLanguages(languageSelect.value));
  languageSelect.addEventListener('change', showHelp);

  helpLink.addEventListener('click', async (event) => {
    event.preventDefault();
    try {
      await callHost('config_openUrl', chosenLanguage().helpUrl);
    } catch (error) {
      showStatus(text('configuration.helpFailed'), true);
      console.error(error);
    }
  });
  form.addEventListener('submit', async (event) => {
    event.preventDefault();
    const choice = { countryCode: countrySelect.value, languageCode: languageSelect.value };
    form.inert = true;
    showStatus(text('configuration.saving'));
    try {
      // The add-on closes the window once it has stored the choice.
      await callHost('config_setActiveCountryAndLanguage', JSON.stringify(choice));
    } catch (error) {
      form.inert = false;
      showStatus(text('configuration.saveFailed'), true);
      console.error(error);
    }
  });
  document.getElementById('cancel').addEventListener('click', () => tellHost('config_close').catch(console.error));

  form.hidden = false;
  showStatus('');
  await fitWindow();
}

showPage();
