// The page's way to the add-on: the functions of window.ACAPI, which the host's browser control provides.
// Each answers a promise; an answer of undefined means the add-on could not do it, and so does a call
// that fails on the way. Both become a HostCallFailed.

export class HostCallFailed extends Error {}

async function invoke(name, argument) {
  const acapi = window.ACAPI;
  if (acapi === undefined || typeof acapi[name] !== 'function') throw new HostCallFailed(`${name} is not available`);
  try {
    return argument === undefined ? await acapi[name]() : await acapi[name](argument);
  } catch (error) {
    throw new HostCallFailed(`${name}: ${error.message}`);
  }
}

// The language code the add-on speaks; empty (the pages then speak English) when it cannot say.
export async function activeLanguageCode() {
  try {
    return (await callHostForJson('config_getActiveCountryAndLanguage')).languageCode;
  } catch (error) {
    console.error(error);
    return '';
  }
}

export function hasHost() {
  return window.ACAPI !== undefined;
}

// The answer of a function that answers a value (true, a text, a list).
export async function callHost(name, argument) {
  const answer = await invoke(name, argument);
  if (answer === undefined) throw new HostCallFailed(`${name} failed`);
  return answer;
}

// The parsed answer of a function that answers a JSON text.
export async function callHostForJson(name, argument) {
  const answer = await callHost(name, argument);
  try {
    return JSON.parse(answer);
  } catch {
    throw new HostCallFailed(`${name} answered something that is not JSON`);
  }
}

// For the functions whose answer carries nothing (the close functions answer undefined or true alike).
export async function tellHost(name, argument) {
  await invoke(name, argument);
}

// Asks the window to fit `element`, through the page's resize function (for example "config_resize").
export async function resizeToContent(resizeFunction, element) {
  const box = element.getBoundingClientRect();
  const request = { x: Math.ceil(box.right + box.left), y: Math.ceil(box.bottom + box.top) };
  await callHost(resizeFunction, JSON.stringify(request));
}

// The fit and the status line of a page shown in one of the add-on's windows. A failure is news that may
// take more room, so the window is fitted to it.
export function windowPage(resizeFunction, page, status) {
  const fitWindow = () => resizeToContent(resizeFunction, page).catch(console.error);
  const showStatus = (message, failed = false) => {
    status.textContent = message;
    status.classList.toggle('failure', failed);
    if (failed) fitWindow();
  };
  return { fitWindow, showStatus };
}
