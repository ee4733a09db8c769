// The floor plan: the project's walls with their skins, slabs, curtain walls, windows and doors drawn on a
// canvas, selection by click or box, and the wall, slab, window and door tools. It draws only what is in
// view and follows the project through /api/model, which sends only what changed since it last looked.

import { $, command, colourCss, formatNumber, showNotice } from './host.js';

// Elements by guid, each with its box in metres.
const model = { identity: 0, revision: 0, elements: new Map() };
// Attributes by index, as the attribute panel last read them.
const attributes = { composites: new Map(), materials: new Map(), surfaces: new Map() };
let selection = new Set();
let observed = new Set();

const listeners = { inView: [] };
export function onElementsInView(listener) {
  listeners.inView.push(listener);
}

export function selectedGuids() {
  return [...selection];
}

export function zoomTo(guids) {
  fitTo(guids.map((guid) => model.elements.get(guid)));
}

export function allGuids() {
  return [...model.elements.keys()];
}

export function elementByGuid(guid) {
  return model.elements.get(guid);
}

export function isObserved(guid) {
  return observed.has(guid);
}

// Geometry ---------------------------------------------------------------------------------------------------

const sub = (a, b) => [a[0] - b[0], a[1] - b[1]];
const add = (a, b) => [a[0] + b[0], a[1] + b[1]];
const scale2 = (a, k) => [a[0] * k, a[1] * k];
const length = (a) => Math.hypot(a[0], a[1]);

// A wall's axis: where it starts, its direction, its left normal and its length.
function wallAxis(wall) {
  const along = sub(wall.end, wall.begin);
  const size = length(along) || 1;
  const direction = scale2(along, 1 / size);
  return { origin: wall.begin, direction, normal: [-direction[1], direction[0]], length: size };
}

// A wall on a composite is as thick as its composite is now, as the host derives it: a rebuilt composite
// moves its walls without any wall changing.
function thicknessOf(wall) {
  const composite = typeof wall.composite === 'number' ? attributes.composites.get(wall.composite) : undefined;
  return composite !== undefined ? composite.thickness : wall.thickness;
}

function skinsOf(wall) {
  if (typeof wall.composite === 'number') {
    const composite = attributes.composites.get(wall.composite);
    if (composite !== undefined && composite.skins.length > 0) return composite.skins;
  }
  return [{ materialIndex: typeof wall.material === 'number' ? wall.material : 0, thickness: thicknessOf(wall), flags: 0 }];
}

const CoreFlag = 0x0002;

// Where the wall's outside face lies, to the left of its reference line. The outside face is on an Outside
// reference line and the wall lies to its right, as when a building is drawn clockwise.
function outsideFace(wall, skins) {
  let before = 0;
  let coreStart = null;
  let coreEnd = null;
  for (const skin of skins) {
    if ((skin.flags & CoreFlag) !== 0) {
      coreStart ??= before;
      coreEnd = before + skin.thickness;
    }
    before += skin.thickness;
  }
  coreStart ??= 0;
  coreEnd ??= thicknessOf(wall);
  const faces = {
    Outside: 0, Center: thicknessOf(wall) / 2, Inside: thicknessOf(wall),
    CoreOutside: coreStart, CoreCenter: (coreStart + coreEnd) / 2, CoreInside: coreEnd,
  };
  return faces[wall.referenceLine] ?? 0;
}

// The quadrilateral of the band between two offsets from the wall's reference line (left positive).
function band(axis, from, to, start = 0, end = axis.length) {
  const point = (at, offset) => add(add(axis.origin, scale2(axis.direction, at)), scale2(axis.normal, offset));
  return [point(start, from), point(end, from), point(end, to), point(start, to)];
}

function boxOf(points) {
  const box = { minX: Infinity, minY: Infinity, maxX: -Infinity, maxY: -Infinity };
  for (const [x, y] of points) {
    box.minX = Math.min(box.minX, x);
    box.minY = Math.min(box.minY, y);
    box.maxX = Math.max(box.maxX, x);
    box.maxY = Math.max(box.maxY, y);
  }
  return box;
}

function wallOutline(wall) {
  const skins = skinsOf(wall);
  const face = outsideFace(wall, skins);
  return band(wallAxis(wall), face, face - thicknessOf(wall));
}

// The points an element covers, for its box and the box selection; none for types the plan does not draw.
function outlineOf(item) {
  switch (item.type) {
    case 'wall':
      return wallOutline(item);
    case 'slab':
      return item.polygon;
    case 'curtainwall':
      return [item.begin, item.end];
    case 'window':
    case 'door': {
      const wall = model.elements.get(item.wall);
      if (wall === undefined) return [];
      const axis = wallAxis(wall);
      const face = outsideFace(wall, skinsOf(wall));
      return band(axis, face, face - thicknessOf(wall), item.at - item.width / 2, item.at + item.width / 2);
    }
    default:
      return [];
  }
}

function refreshBox(item) {
  const outline = outlineOf(item);
  item.box = outline.length > 0 ? boxOf(outline) : null;
}

// Following the project ---------------------------------------------------------------------------------------

let syncing = false;
let wanted = false;

async function fetchChanges() {
  const response = await fetch(`/api/model?identity=${model.identity}&since=${model.revision}`);
  const answer = await response.json();
  if (!answer.ok) throw new Error(answer.error);
  const fresh = answer.whole;
  if (fresh) model.elements.clear();
  for (const guid of answer.removed) model.elements.delete(guid);
  for (const item of answer.elements) model.elements.set(item.guid, item);
  model.identity = answer.identity;
  model.revision = answer.revision;
  for (const item of fresh ? model.elements.values() : answer.elements) refreshBox(item);
  // An opening's box follows its wall, which may be what changed.
  if (!fresh) {
    const walls = new Set(answer.elements.map((item) => item.guid));
    for (const item of model.elements.values()) {
      if ((item.type === 'window' || item.type === 'door') && walls.has(item.wall)) refreshBox(item);
    }
  }
  // An opened project shows whole, as Archicad opens it; a new one keeps the view.
  if (fresh && answer.elements.length > 0) fitToProject();
}

// Asks for what changed since the page last looked: one request at a time, and a change announced while
// one runs is asked for after it.
export async function syncModel() {
  wanted = true;
  if (syncing) return;
  syncing = true;
  try {
    while (wanted) {
      wanted = false;
      await fetchChanges();
    }
  } catch (error) {
    showNotice(`The floor plan could not follow the project: ${error.message}`);
  } finally {
    syncing = false;
  }
  invalidate();
}

export function setSelection(guids, observedGuids) {
  selection = new Set(guids);
  observed = new Set(observedGuids);
  invalidate();
}

export function setAttributes({ composites, materials, surfaces }) {
  attributes.composites = new Map(composites.map((item) => [item.index, item]));
  attributes.materials = new Map(materials.map((item) => [item.index, item]));
  attributes.surfaces = new Map(surfaces.map((item) => [item.name, item]));
  // A wall's outline depends on its composite's skins.
  for (const item of model.elements.values()) refreshBox(item);
  invalidate();
}

function materialColour(index, alpha = 1) {
  const material = attributes.materials.get(index);
  const surface = material?.surface !== undefined ? attributes.surfaces.get(material.surface) : undefined;
  return surface !== undefined ? colourCss(surface.colour, alpha) : `rgba(190, 190, 190, ${alpha})`;
}

function structureColour(item, alpha) {
  if (typeof item.composite === 'number') {
    const skins = attributes.composites.get(item.composite)?.skins ?? [];
    const core = skins.find((skin) => (skin.flags & CoreFlag) !== 0) ?? skins[0];
    if (core !== undefined) return materialColour(core.materialIndex, alpha);
  }
  return materialColour(typeof item.material === 'number' ? item.material : 0, alpha);
}

// The view ------------------------------------------------------------------------------------------------------

// The scene (grid and elements) is drawn into a canvas of its own, and the plan shows it with the tools'
// marks on top: moving the pointer redraws only the marks, and panning or zooming shows the last scene moved
// and scaled until the view settles, so a project of any size follows the hand.
const canvas = $('plan');
const screen = canvas.getContext('2d');
const scene = document.createElement('canvas');
const context = scene.getContext('2d');
let sceneView = null;  // the view the scene was drawn for
let stale = true;
let moving = 0;  // the timer that redraws the scene once the view has settled
const view = { x: 5, y: 3, scale: 40 };  // the world point at the canvas centre, pixels per metre

const toScreen = ([x, y]) => [(x - view.x) * view.scale + canvas.clientWidth / 2, canvas.clientHeight / 2 - (y - view.y) * view.scale];
const toWorld = (sx, sy) => [(sx - canvas.clientWidth / 2) / view.scale + view.x, (canvas.clientHeight / 2 - sy) / view.scale + view.y];

function visibleBox() {
  const [minX, maxY] = toWorld(0, 0);
  const [maxX, minY] = toWorld(canvas.clientWidth, canvas.clientHeight);
  return { minX, minY, maxX, maxY };
}

const overlaps = (a, b) => a.minX <= b.maxX && a.maxX >= b.minX && a.minY <= b.maxY && a.maxY >= b.minY;
const contains = (outer, inner) => inner.minX >= outer.minX && inner.maxX <= outer.maxX && inner.minY >= outer.minY && inner.maxY <= outer.maxY;

export function fitToProject() {
  fitTo([...model.elements.values()]);
}

// Shows the elements whole, as the host's zoom to the selection does.
export function fitTo(items) {
  const boxes = items.map((item) => item?.box).filter((box) => box != null);
  if (boxes.length === 0) return;
  const all = boxOf(boxes.flatMap((box) => [[box.minX, box.minY], [box.maxX, box.maxY]]));
  view.x = (all.minX + all.maxX) / 2;
  view.y = (all.minY + all.maxY) / 2;
  const width = Math.max(all.maxX - all.minX, 1);
  const height = Math.max(all.maxY - all.minY, 1);
  view.scale = Math.min(Math.min(canvas.clientWidth / width, canvas.clientHeight / height) * 0.9, 400);
  invalidate();
}

// Onto the canvas's current path, or a Path2D.
function tracePolygon(points, path = context) {
  points.forEach((point, index) => {
    const [sx, sy] = toScreen(point);
    if (index === 0) path.moveTo(sx, sy);
    else path.lineTo(sx, sy);
  });
  path.closePath();
}

function drawGrid(box) {
  // A line a metre, or every ten when metres would crowd together.
  const step = view.scale >= 12 ? 1 : view.scale >= 1.2 ? 10 : 100;
  context.beginPath();
  for (let x = Math.ceil(box.minX / step) * step; x <= box.maxX; x += step) {
    const [sx] = toScreen([x, 0]);
    context.moveTo(Math.round(sx) + 0.5, 0);
    context.lineTo(Math.round(sx) + 0.5, canvas.clientHeight);
  }
  for (let y = Math.ceil(box.minY / step) * step; y <= box.maxY; y += step) {
    const [, sy] = toScreen([0, y]);
    context.moveTo(0, Math.round(sy) + 0.5);
    context.lineTo(canvas.clientWidth, Math.round(sy) + 0.5);
  }
  context.strokeStyle = '#eef0f3';
  context.lineWidth = 1;
  context.stroke();
}

// Slabs share one path per colour, so a floor of thousands of slabs is a few fills.
function drawSlabs(slabs) {
  const byColour = new Map();
  const outlines = new Path2D();
  for (const item of slabs) {
    const colour = structureColour(item, 0.35);
    const path = byColour.get(colour) ?? new Path2D();
    byColour.set(colour, path);
    for (const ring of [item.polygon, ...item.holes]) {
      tracePolygon(ring, path);
      tracePolygon(ring, outlines);
    }
  }
  for (const [colour, path] of byColour) {
    context.fillStyle = colour;
    context.fill(path, 'evenodd');
  }
  context.strokeStyle = '#6b7280';
  context.lineWidth = 1;
  context.stroke(outlines);
}

function drawWall(item, thin) {
  if (thin) {
    thin.push(item);
    return;
  }
  const axis = wallAxis(item);
  const skins = skinsOf(item);
  let face = outsideFace(item, skins);
  for (const skin of skins) {
    context.beginPath();
    tracePolygon(band(axis, face, face - skin.thickness));
    context.fillStyle = materialColour(skin.materialIndex);
    context.fill();
    context.strokeStyle = '#374151';
    context.lineWidth = 0.75;
    context.stroke();
    face -= skin.thickness;
  }
}

function drawOpening(item) {
  const wall = model.elements.get(item.wall);
  if (wall === undefined) return;
  const axis = wallAxis(wall);
  const face = outsideFace(wall, skinsOf(wall));
  const start = item.at - item.width / 2;
  const end = item.at + item.width / 2;
  context.beginPath();
  tracePolygon(band(axis, face, face - thicknessOf(wall), start, end));
  context.fillStyle = '#ffffff';
  context.fill();
  context.strokeStyle = '#1f2937';
  context.lineWidth = 1;
  context.stroke();
  context.beginPath();
  if (item.type === 'window') {
    // The glass: a line along the wall's middle.
    const middle = face - thicknessOf(wall) / 2;
    const [a, b] = [band(axis, middle, middle, start, end)[0], band(axis, middle, middle, start, end)[1]].map(toScreen);
    context.moveTo(...a);
    context.lineTo(...b);
  } else {
    // The leaf open at a right angle, hinged at the opening's start on the inside face, and its swing.
    const inside = face - thicknessOf(wall);
    const hinge = band(axis, inside, inside, start, start)[0];
    const closed = band(axis, inside, inside, end, end)[0];
    const open = sub(hinge, scale2(axis.normal, item.width));
    const [sh, sc, so] = [hinge, closed, open].map(toScreen);
    context.moveTo(...sh);
    context.lineTo(...so);
    const from = Math.atan2(so[1] - sh[1], so[0] - sh[0]);
    const to = Math.atan2(sc[1] - sh[1], sc[0] - sh[0]);
    const sweep = Math.atan2(Math.sin(to - from), Math.cos(to - from));
    context.arc(sh[0], sh[1], item.width * view.scale, from, to, sweep < 0);
  }
  context.stroke();
}

function drawCurtainWall(item) {
  const [a, b] = [toScreen(item.begin), toScreen(item.end)];
  context.beginPath();
  context.moveTo(...a);
  context.lineTo(...b);
  context.strokeStyle = '#0e7490';
  context.lineWidth = 3;
  context.stroke();
}

function drawHighlight(item) {
  const outline = outlineOf(item);
  if (outline.length === 0) return;
  context.beginPath();
  tracePolygon(outline);
  if (item.type === 'slab') for (const hole of item.holes) tracePolygon(hole);
  context.strokeStyle = '#2563eb';
  context.lineWidth = 2.5;
  context.stroke();
}

let frame = 0;
let inView = [];

// Shows the plan at the next frame, drawing the scene again first when it is stale and the view is not moving.
export function draw() {
  if (frame !== 0) return;
  frame = requestAnimationFrame(() => {
    frame = 0;
    if (stale && (moving === 0 || sceneView === null)) renderScene();
    compose();
  });
}

// The model, the selection or the canvas changed: the scene must be drawn again.
function invalidate() {
  stale = true;
  draw();
}

// The view moved: the scene follows as a picture now and is drawn again once the view rests.
function moved() {
  clearTimeout(moving);
  moving = setTimeout(() => {
    moving = 0;
    invalidate();
  }, 150);
  draw();
}

function fitCanvas(target) {
  const ratio = window.devicePixelRatio || 1;
  const width = Math.round(canvas.clientWidth * ratio);
  const height = Math.round(canvas.clientHeight * ratio);
  if (target.width !== width || target.height !== height) Object.assign(target, { width, height });
  return ratio;
}

function renderScene() {
  const ratio = fitCanvas(scene);
  context.setTransform(ratio, 0, 0, ratio, 0, 0);
  context.clearRect(0, 0, canvas.clientWidth, canvas.clientHeight);
  const box = visibleBox();
  drawGrid(box);
  // Elements the plan does not draw (columns, objects, ...) are listed as in view wherever it looks.
  inView = [];
  for (const item of model.elements.values()) {
    if (item.box === null || overlaps(item.box, box)) inView.push(item);
  }
  // Slabs under walls under openings.
  const layers = { slab: [], wall: [], curtainwall: [], window: [], door: [] };
  for (const item of inView) if (item.box !== null) layers[item.type]?.push(item);
  drawSlabs(layers.slab);
  // A wall thinner than two pixels is a line: one path for all of them keeps a whole building quick to draw.
  const thin = [];
  for (const item of layers.wall) drawWall(item, thicknessOf(item) * view.scale < 2 ? thin : null);
  for (const item of layers.curtainwall) drawCurtainWall(item);
  for (const item of [...layers.window, ...layers.door]) drawOpening(item);
  if (thin.length > 0) {
    context.beginPath();
    for (const wall of thin) {
      context.moveTo(...toScreen(wall.begin));
      context.lineTo(...toScreen(wall.end));
    }
    context.strokeStyle = '#374151';
    context.lineWidth = 1;
    context.stroke();
  }
  for (const layer of Object.values(layers)) for (const item of layer) if (selection.has(item.guid)) drawHighlight(item);
  sceneView = { ...view, width: canvas.clientWidth, height: canvas.clientHeight };
  stale = false;
  $('planStatus').textContent = `${inView.length} of ${model.elements.size} elements in view · 1 m = ${formatNumber(view.scale, 1)} px`;
  for (const listener of listeners.inView) listener(inView);
}

function compose() {
  const ratio = fitCanvas(canvas);
  screen.setTransform(1, 0, 0, 1, 0, 0);
  screen.clearRect(0, 0, canvas.width, canvas.height);
  screen.setTransform(ratio, 0, 0, ratio, 0, 0);
  if (sceneView !== null) {
    // The scene's top left corner, in metres, where the view shows it now.
    const k = view.scale / sceneView.scale;
    const corner = [sceneView.x - sceneView.width / 2 / sceneView.scale, sceneView.y + sceneView.height / 2 / sceneView.scale];
    const [left, top] = toScreen(corner);
    screen.drawImage(scene, left, top, sceneView.width * k, sceneView.height * k);
  }
  drawTool();
  // Where the plan looks, for whoever maps metres to the canvas (the page tests do).
  canvas.dataset.view = JSON.stringify(view);
}

// Hit testing ----------------------------------------------------------------------------------------------------

function insidePolygon([x, y], polygon) {
  let inside = false;
  for (let i = 0, j = polygon.length - 1; i < polygon.length; j = i++) {
    const [xi, yi] = polygon[i];
    const [xj, yj] = polygon[j];
    if ((yi > y) !== (yj > y) && x < ((xj - xi) * (y - yi)) / (yj - yi) + xi) inside = !inside;
  }
  return inside;
}

function distanceToSegment(point, a, b) {
  const ab = sub(b, a);
  const size = ab[0] * ab[0] + ab[1] * ab[1];
  const t = size === 0 ? 0 : Math.max(0, Math.min(1, ((point[0] - a[0]) * ab[0] + (point[1] - a[1]) * ab[1]) / size));
  return length(sub(point, add(a, scale2(ab, t))));
}

// The element a click at `point` picks: an opening before its wall, a wall before the slab under it.
function elementAt(point, types = null) {
  const tolerance = 4 / view.scale;
  const rank = { window: 0, door: 0, wall: 1, curtainwall: 1, slab: 2 };
  let best = null;
  for (const item of model.elements.values()) {
    if (item.box === null || (types !== null && !types.includes(item.type))) continue;
    const { box } = item;
    if (point[0] < box.minX - tolerance || point[0] > box.maxX + tolerance || point[1] < box.minY - tolerance || point[1] > box.maxY + tolerance) continue;
    let hit;
    if (item.type === 'slab') hit = insidePolygon(point, item.polygon) && !item.holes.some((hole) => insidePolygon(point, hole));
    else if (item.type === 'curtainwall') hit = distanceToSegment(point, item.begin, item.end) <= tolerance;
    else hit = insidePolygon(point, outlineOf(item)) || distanceToSegment(point, ...outlineOf(item).slice(0, 2)) <= tolerance;
    if (hit && (best === null || rank[item.type] < rank[best.type])) best = item;
  }
  return best;
}

// Tools --------------------------------------------------------------------------------------------------------

const tool = { name: 'arrow', points: [], pointer: null, marquee: null };
let structure = {};

export function setTool(name) {
  tool.name = name;
  tool.points = [];
  tool.marquee = null;
  canvas.dataset.tool = name;
  draw();
}

// What new walls and slabs are made of: {composite: NAME}, {material: NAME} or nothing for the default.
export function setStructure(chosen) {
  structure = chosen;
}

// Snaps to a wall's or slab's node near the pointer, else to the 5 cm grid; with Shift, to 45° steps.
function snapped(event) {
  const rect = canvas.getBoundingClientRect();
  let point = toWorld(event.clientX - rect.left, event.clientY - rect.top);
  const reach = 8 / view.scale;
  let nearest = null;
  for (const item of model.elements.values()) {
    const nodes = item.type === 'wall' || item.type === 'curtainwall' ? [item.begin, item.end] : item.type === 'slab' ? item.polygon : [];
    for (const node of nodes) {
      const distance = length(sub(node, point));
      if (distance <= reach && (nearest === null || distance < nearest.distance)) nearest = { node, distance };
    }
  }
  if (nearest !== null) return nearest.node;
  const grid = 0.05;
  point = point.map((value) => Math.round(value / grid) * grid);
  const last = tool.points.at(-1);
  if (event.shiftKey && last !== undefined) {
    const delta = sub(point, last);
    const angle = Math.round(Math.atan2(delta[1], delta[0]) / (Math.PI / 4)) * (Math.PI / 4);
    point = add(last, scale2([Math.cos(angle), Math.sin(angle)], length(delta)));
  }
  return point.map((value) => Math.round(value * 1000) / 1000);
}

function drawTool() {
  if (tool.marquee !== null) {
    const { from, to } = tool.marquee;
    screen.setLineDash([5, 4]);
    screen.strokeStyle = '#2563eb';
    screen.lineWidth = 1;
    screen.strokeRect(from[0], from[1], to[0] - from[0], to[1] - from[1]);
    screen.setLineDash([]);
  }
  if (tool.points.length === 0 || tool.pointer === null) return;
  screen.beginPath();
  tracePolygon([...tool.points, tool.pointer], screen);
  if (tool.name === 'wall') {
    screen.beginPath();
    screen.moveTo(...toScreen(tool.points.at(-1)));
    screen.lineTo(...toScreen(tool.pointer));
  }
  screen.setLineDash([6, 4]);
  screen.strokeStyle = '#dc2626';
  screen.lineWidth = 1.5;
  screen.stroke();
  screen.setLineDash([]);
}

async function placeWall(begin, end) {
  if (length(sub(end, begin)) < 0.01) return;
  await command('element.new', { type: 'wall', begin, end, ...structure });
}

async function placeSlab(points) {
  await command('element.new', { type: 'slab', polygon: points, ...structure });
}

async function placeOpening(type, point) {
  const wall = elementAt(point, ['wall']);
  if (wall === null) {
    showNotice(`Click a wall to place the ${type} in.`);
    return;
  }
  const axis = wallAxis(wall);
  const along = sub(point, axis.origin);
  const at = Math.round((along[0] * axis.direction[0] + along[1] * axis.direction[1]) * 1000) / 1000;
  await command('element.new', { type, wall: wall.guid, at });
}

// The plan shows the new selection at once; the host's state confirms it.
export function select(guids) {
  selection = new Set(guids);
  invalidate();
  return command('select', { guids });
}

function clickSelect(point, extend) {
  const hit = elementAt(point);
  if (hit === null) {
    if (!extend) select([]);
    return;
  }
  const guids = new Set(extend ? selection : []);
  if (extend && guids.has(hit.guid)) guids.delete(hit.guid);
  else guids.add(hit.guid);
  select([...guids]);
}

// Dragged to the right: what lies wholly inside; to the left: what it touches, as in Archicad's marquee.
function boxSelect(from, to, extend) {
  const [ax, ay] = toWorld(...from);
  const [bx, by] = toWorld(...to);
  const area = { minX: Math.min(ax, bx), maxX: Math.max(ax, bx), minY: Math.min(ay, by), maxY: Math.max(ay, by) };
  const whole = to[0] >= from[0];
  const guids = new Set(extend ? selection : []);
  for (const item of model.elements.values()) {
    if (item.box !== null && (whole ? contains(area, item.box) : overlaps(area, item.box))) guids.add(item.guid);
  }
  select([...guids]);
}

function canvasPoint(event) {
  const rect = canvas.getBoundingClientRect();
  return [event.clientX - rect.left, event.clientY - rect.top];
}

canvas.addEventListener('pointerdown', (event) => {
  canvas.focus();
  if (event.button === 1 || event.button === 2 || (event.button === 0 && event.altKey)) {
    // Panning with the middle or right button, or Alt and the left.
    event.preventDefault();
    canvas.setPointerCapture(event.pointerId);
    const start = { x: event.clientX, y: event.clientY, view: { ...view } };
    const move = (moved) => {
      view.x = start.view.x - (moved.clientX - start.x) / view.scale;
      view.y = start.view.y + (moved.clientY - start.y) / view.scale;
      moved();
    };
    canvas.addEventListener('pointermove', move);
    canvas.addEventListener('pointerup', () => canvas.removeEventListener('pointermove', move), { once: true });
    return;
  }
  if (event.button !== 0) return;
  if (tool.name === 'arrow') {
    canvas.setPointerCapture(event.pointerId);
    const from = canvasPoint(event);
    const move = (moved) => {
      const to = canvasPoint(moved);
      if (tool.marquee !== null || Math.hypot(to[0] - from[0], to[1] - from[1]) > 4) {
        tool.marquee = { from, to };
        draw();
      }
    };
    canvas.addEventListener('pointermove', move);
    canvas.addEventListener('pointerup', (up) => {
      canvas.removeEventListener('pointermove', move);
      const extend = up.shiftKey || up.ctrlKey || up.metaKey;
      if (tool.marquee !== null) boxSelect(tool.marquee.from, canvasPoint(up), extend);
      else clickSelect(toWorld(...from), extend);
      tool.marquee = null;
      draw();
    }, { once: true });
    return;
  }
  const point = snapped(event);
  if (tool.name === 'window' || tool.name === 'door') {
    placeOpening(tool.name, toWorld(...canvasPoint(event)));
  } else if (tool.name === 'wall') {
    // Walls chain: each ends where the next begins, until Escape or a double click.
    if (tool.points.length > 0) placeWall(tool.points.at(-1), point);
    tool.points = event.detail >= 2 ? [] : [point];
  } else if (tool.name === 'slab') {
    const first = tool.points[0];
    const closes = tool.points.length >= 3 && (event.detail >= 2 || length(sub(point, first)) * view.scale <= 8);
    if (closes) {
      placeSlab(tool.points);
      tool.points = [];
    } else if (tool.points.length === 0 || length(sub(point, tool.points.at(-1))) > 0.001) {
      tool.points.push(point);
    }
  }
  draw();
});

canvas.addEventListener('pointermove', (event) => {
  const [x, y] = toWorld(...canvasPoint(event));
  $('coordinates').textContent = `x ${formatNumber(x, 2)} m · y ${formatNumber(y, 2)} m`;
  if (tool.name === 'wall' || tool.name === 'slab') {
    tool.pointer = snapped(event);
    if (tool.points.length > 0) draw();
  }
});

canvas.addEventListener('contextmenu', (event) => event.preventDefault());

canvas.addEventListener('wheel', (event) => {
  event.preventDefault();
  const [sx, sy] = canvasPoint(event);
  const before = toWorld(sx, sy);
  view.scale = Math.min(Math.max(view.scale * Math.exp(-event.deltaY * 0.0015), 0.01), 2000);
  const after = toWorld(sx, sy);
  view.x += before[0] - after[0];
  view.y += before[1] - after[1];
  moved();
}, { passive: false });

canvas.addEventListener('keydown', (event) => {
  if (event.key === 'Escape') {
    if (tool.points.length > 0) tool.points = [];
    else select([]);
    draw();
  } else if ((event.key === 'Delete' || event.key === 'Backspace') && selection.size > 0) {
    event.preventDefault();
    deleteSelection();
  }
});

const isOpening = (guid) => ['window', 'door'].includes(model.elements.get(guid)?.type);

export async function deleteSelection() {
  // Openings first: one goes with its wall, and deleting it after would find it gone.
  const guids = [...selection].sort((a, b) => isOpening(b) - isOpening(a));
  for (const guid of guids) await command('element.delete', { guid });
}

new ResizeObserver(() => invalidate()).observe(canvas);
