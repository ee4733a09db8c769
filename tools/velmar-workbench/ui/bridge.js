// The workbench's stand-in for the browser control's script objects. The workbench names each window's
// frame "velmar-window-<id>"; inside such a frame this gives the page window.ACAPI, whose functions send
// each call over HTTP to the simulated Archicad's main thread and answer a promise of the add-on's answer
// (undefined where the add-on answers undefined). The host lists no function names to a page, so ACAPI
// forwards every name; one the window's objects do not have rejects, as calling a missing function throws.
(() => {
  const frame = /^velmar-window-(\d+)$/.exec(window.name);
  if (frame === null) return;
  const windowId = Number(frame[1]);
  const callAddress = new URL('/api/call', document.currentScript.src).href;

  async function call(name, args) {
    const request = { window: windowId, fn: name };
    if (args.length > 0) request.arg = args[0] === undefined ? null : args[0];
    // text/plain keeps the cross-origin request simple: no preflight.
    const response = await fetch(callAddress, { method: 'POST', headers: { 'Content-Type': 'text/plain' }, body: JSON.stringify(request) });
    const answer = await response.json();
    if (!answer.ok) throw new Error(answer.error);
    return answer.answer === null ? undefined : answer.answer;
  }

  window.ACAPI = new Proxy(Object.freeze({}), {
    get(target, name) {
      // Not a function name: symbols, and "then", which would make ACAPI look like a promise.
      if (typeof name !== 'string' || name === 'then') return undefined;
      return (...args) => call(name, args);
    },
  });
})();
