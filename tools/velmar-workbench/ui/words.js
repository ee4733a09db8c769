// The words of the info and attribute panels in the page's language: labels for the keys velmar-sim answers
// with, units, and counts in the singular or the plural.

import { pageLanguage } from './host.js';

const Words = {
  height: { en: 'Height', nl: 'Hoogte', fr: 'Hauteur' },
  thickness: { en: 'Thickness', nl: 'Dikte', fr: 'Épaisseur' },
  baseOffset: { en: 'Base offset', nl: 'Voetverschuiving', fr: 'Décalage de base' },
  elevation: { en: 'Top elevation', nl: 'Bovenkant peil', fr: 'Niveau supérieur' },
  at: { en: 'Distance from wall start', nl: 'Afstand tot wandbegin', fr: 'Distance au début du mur' },
  width: { en: 'Width', nl: 'Breedte', fr: 'Largeur' },
  sill: { en: 'Sill height', nl: 'Borstweringshoogte', fr: 'Hauteur d’allège' },
  begin: { en: 'Start point', nl: 'Beginpunt', fr: 'Point de départ' },
  end: { en: 'End point', nl: 'Eindpunt', fr: 'Point d’arrivée' },
  polygon: { en: 'Contour', nl: 'Contour', fr: 'Contour' },
  holes: { en: 'Holes', nl: 'Sparingen', fr: 'Trémies' },
  referenceLine: { en: 'Reference line', nl: 'Referentielijn', fr: 'Ligne de référence' },
  wall: { en: 'In wall', nl: 'In wand', fr: 'Dans le mur' },
  structure: { en: 'Structure', nl: 'Structuur', fr: 'Structure' },
  compositeThickness: {
    en: 'A composite wall or slab is as thick as its composite',
    nl: 'Een samengestelde wand of vloer is zo dik als zijn samenstelling',
    fr: 'Un mur ou une dalle composite a l’épaisseur de sa structure composite',
  },
  notANumber: {
    en: (text) => `“${text}” is not a number: type digits with a decimal point or comma. The value stays as it was.`,
    nl: (text) => `“${text}” is geen getal: typ cijfers met een decimale komma of punt. De waarde blijft zoals ze was.`,
    fr: (text) => `« ${text} » n’est pas un nombre : tapez des chiffres avec une virgule ou un point décimal. La valeur reste inchangée.`,
  },
  walls: { en: 'walls', nl: 'wanden', fr: 'murs' },
  slabs: { en: 'slabs', nl: 'vloeren', fr: 'dalles' },
  core: { en: 'core', nl: 'kern', fr: 'noyau' },
  noMaterial: { en: 'no material', nl: 'geen materiaal', fr: 'aucun matériau' },
  skins: { en: ['skin', 'skins'], nl: ['laag', 'lagen'], fr: ['couche', 'couches'] },
  classification: { en: 'Classification', nl: 'Classificatie', fr: 'Classification' },
  quantities: { en: 'Quantities', nl: 'Hoeveelheden', fr: 'Quantités' },
  properties: { en: 'Properties', nl: 'Eigenschappen', fr: 'Propriétés' },
  selectHint: {
    en: 'Select an element in the floor plan to see and edit it here.',
    nl: 'Selecteer een element op de plattegrond om het hier te zien en te bewerken.',
    fr: 'Sélectionnez un élément sur le plan pour le voir et le modifier ici.',
  },
  selected: {
    en: (count, kinds) => `${count} elements selected: ${kinds}.`,
    nl: (count, kinds) => `${count} elementen geselecteerd: ${kinds}.`,
    fr: (count, kinds) => `${count} éléments sélectionnés : ${kinds}.`,
  },
};

export function word(key) {
  return Words[key]?.[pageLanguage()] ?? Words[key]?.en ?? key;
}

// "1 skin", "2 skins": the count with its noun in the singular or the plural.
export function counted(count, key) {
  const [one, many] = word(key);
  return `${count} ${count === 1 ? one : many}`;
}

// A quantity's key as words ("Quantity.grossVolume" → "Gross volume") and its unit, found from its words:
// surfaces and areas in m², volumes in m³, lengths, heights, widths and thicknesses in m, angles in degrees,
// counts without a unit.
export function quantityLabel(key) {
  const words = key.replace(/^Quantity\./, '').replace(/_cond$/i, ' (conditional)').replace(/\bCond$/, '(conditional)')
    .replace(/([a-z])([A-Z0-9])/g, '$1 $2').replace(/\bSurf\b/gi, 'Surface').replace(/\bPrm\b/g, 'Perimeter')
    .replace(/\bLenght\b/g, 'Length').replace(/\bemptyholes/i, 'Empty holes ').replace(/\binsu\b/i, 'Insulation').replace(/\s+/g, ' ').trim().toLowerCase();
  return words.charAt(0).toUpperCase() + words.slice(1);
}

export function quantityUnit(key) {
  const label = quantityLabel(key).toLowerCase();
  if (/number|count/.test(label)) return '';
  if (/angle/.test(label)) return '°';
  if (/volume/.test(label)) return 'm³';
  if (/surface|area/.test(label)) return 'm²';
  if (/length|height|width|thickness|perimeter/.test(label)) return 'm';
  return '';
}
