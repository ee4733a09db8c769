// The pages' texts in the languages the add-on serves. A page shows the language of the code the add-on
// reports (for example "fr-BE"); codes of other languages, and none, show English.

const texts = {
  en: {
    'configuration.title': 'Settings',
    'configuration.intro': 'Choose the country and the language of the product data.',
    'configuration.country': 'Country',
    'configuration.language': 'Language',
    'configuration.help': 'Help for this country and language',
    'configuration.save': 'Save',
    'configuration.cancel': 'Cancel',
    'configuration.loading': 'Loading the settings…',
    'configuration.loadFailed': 'The settings could not be loaded.',
    'configuration.empty': 'There are no countries to choose from.',
    'configuration.saving': 'Saving…',
    'configuration.saveFailed': 'The choice could not be saved.',
    'configuration.helpFailed': 'The help page could not be opened.',
    'lod.title': 'Level of detail',
    'lod.active': 'Active level of detail: {lod}',
    'lod.lower': 'Some composites were built at a lower level of detail.',
    'lod.higher': 'Some composites were built at this level of detail or a higher one.',
    'lod.none': 'No composite of the add-on is in this project.',
    'lod.question': 'Which composites should be rebuilt at the active level?',
    'lod.updateLower': 'Rebuild the lower ones',
    'lod.updateAll': 'Rebuild all',
    'lod.close': 'Not now',
    'lod.loading': 'Looking at the composites…',
    'lod.loadFailed': 'The level of detail of the composites could not be read.',
    'lod.updating': 'Rebuilding…',
    'lod.updated': 'The composites were rebuilt.',
    'lod.updateFailed': 'The composites could not be rebuilt.',
    'host.missing': 'This page works only inside Archicad.',
  },
  nl: {
    'configuration.title': 'Instellingen',
    'configuration.intro': 'Kies het land en de taal van de productgegevens.',
    'configuration.country': 'Land',
    'configuration.language': 'Taal',
    'configuration.help': 'Hulp voor dit land en deze taal',
    'configuration.save': 'Bewaren',
    'configuration.cancel': 'Annuleren',
    'configuration.loading': 'De instellingen worden geladen…',
    'configuration.loadFailed': 'De instellingen konden niet worden geladen.',
    'configuration.empty': 'Er zijn geen landen om uit te kiezen.',
    'configuration.saving': 'Bezig met bewaren…',
    'configuration.saveFailed': 'De keuze kon niet worden bewaard.',
    'configuration.helpFailed': 'De hulppagina kon niet worden geopend.',
    'lod.title': 'Detailniveau',
    'lod.active': 'Actief detailniveau: {lod}',
    'lod.lower': 'Sommige samenstellingen zijn op een lager detailniveau gemaakt.',
    'lod.higher': 'Sommige samenstellingen zijn op dit detailniveau of een hoger gemaakt.',
    'lod.none': 'Dit project bevat geen samenstellingen van de add-on.',
    'lod.question': 'Welke samenstellingen moeten op het actieve niveau opnieuw worden gemaakt?',
    'lod.updateLower': 'De lagere opnieuw maken',
    'lod.updateAll': 'Alle opnieuw maken',
    'lod.close': 'Niet nu',
    'lod.loading': 'De samenstellingen worden bekeken…',
    'lod.loadFailed': 'Het detailniveau van de samenstellingen kon niet worden gelezen.',
    'lod.updating': 'Bezig met opnieuw maken…',
    'lod.updated': 'De samenstellingen zijn opnieuw gemaakt.',
    'lod.updateFailed': 'De samenstellingen konden niet opnieuw worden gemaakt.',
    'host.missing': 'Deze pagina werkt alleen in Archicad.',
  },
  fr: {
    'configuration.title': 'Réglages',
    'configuration.intro': 'Choisissez le pays et la langue des données produits.',
    'configuration.country': 'Pays',
    'configuration.language': 'Langue',
    'configuration.help': 'Aide pour ce pays et cette langue',
    'configuration.save': 'Enregistrer',
    'configuration.cancel': 'Annuler',
    'configuration.loading': 'Chargement des réglages…',
    'configuration.loadFailed': 'Les réglages n’ont pas pu être chargés.',
    'configuration.empty': 'Aucun pays n’est disponible.',
    'configuration.saving': 'Enregistrement…',
    'configuration.saveFailed': 'Le choix n’a pas pu être enregistré.',
    'configuration.helpFailed': 'La page d’aide n’a pas pu être ouverte.',
    'lod.title': 'Niveau de détail',
    'lod.active': 'Niveau de détail actif : {lod}',
    'lod.lower': 'Certaines compositions ont été créées à un niveau de détail inférieur.',
    'lod.higher': 'Certaines compositions ont été créées à ce niveau de détail ou à un niveau supérieur.',
    'lod.none': 'Ce projet ne contient aucune composition de l’add-on.',
    'lod.question': 'Quelles compositions faut-il recréer au niveau actif ?',
    'lod.updateLower': 'Recréer les inférieures',
    'lod.updateAll': 'Tout recréer',
    'lod.close': 'Plus tard',
    'lod.loading': 'Examen des compositions…',
    'lod.loadFailed': 'Le niveau de détail des compositions n’a pas pu être lu.',
    'lod.updating': 'Recréation en cours…',
    'lod.updated': 'Les compositions ont été recréées.',
    'lod.updateFailed': 'Les compositions n’ont pas pu être recréées.',
    'host.missing': 'Cette page ne fonctionne que dans Archicad.',
  },
};

// "nl-BE" → "nl"; anything without texts of its own → "en".
export function languageOf(code) {
  const language = String(code ?? '').split('-')[0].toLowerCase();
  return Object.hasOwn(texts, language) ? language : 'en';
}

// A function giving the text of a key in the language of `code`, with {name} replaced from `values`.
export function textsFor(code) {
  const table = texts[languageOf(code)];
  return (key, values = {}) => (table[key] ?? texts.en[key] ?? key).replace(/\{(\w+)\}/g, (_, name) => String(values[name] ?? ''));
}

// Fills every element that names a text key in data-text, and the document's language.
export function applyTexts(root, text, code) {
  root.ownerDocument.documentElement.lang = languageOf(code);
  for (const element of root.querySelectorAll('[data-text]')) element.textContent = text(element.dataset.text);
}
