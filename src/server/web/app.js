// The Quintara web panel: the devices quintara-server holds, a multiviewer's live preview and
// controls, and a matrix switcher's routing grid. Everything it shows comes from the service's
// API; what a device reports arrives over the events socket.
'use strict';

const TOKEN_KEY = 'quintara.token';
const API = '/api/v1';
// Reports often come in bursts (a layout change brings several); one read-back serves them all.
const REFRESH_DELAY_MS = 60;
const RECONNECT_DELAYS_MS = [500, 1000, 2000, 5000];

const TYPE_NAMES = {
  multiviewer: 'Multiviewer',
  matrix8: '8-channel matrix',
  matrix16: '16-channel matrix',
};
const CHANNELS = { matrix8: 8, matrix16: 16 };
const INPUTS = 16;
const UMD_MAX = 11;

const app = {
  token: sessionStorage.getItem(TOKEN_KEY),
  devices: [],
  layouts: null,
  selected: null, // the id of the device whose panel is open
  panel: null, // the open panel: refresh(), onEvent(event)
  busy: false,
  socket: null,
  reconnects: 0,
};

const $ = (selector, root = document) => root.querySelector(selector);

function element(tag, properties = {}, children = []) {
  const made = document.createElement(tag);
  for (const [key, value] of Object.entries(properties)) {
    if (key === 'dataset') {
      Object.assign(made.dataset, value);
    } else if (key.startsWith('aria') || key === 'role' || key === 'for') {
      made.setAttribute(key.replace(/^aria([A-Z])/, (_, c) => 'aria-' + c.toLowerCase()), value);
    } else {
      made[key] = value;
    }
  }
  made.append(...children);
  return made;
}

// ---- The service --------------------------------------------------------------------------

class TokenRefused extends Error {}

class ServiceError extends Error {
  constructor(status, message) {
    super(message);
    this.status = status;
  }
}

async function api(method, path, body) {
  const headers = {};
  if (app.token) {
    headers.Authorization = 'Bearer ' + app.token;
  }
  if (body !== undefined) {
    headers['Content-Type'] = 'application/json';
  }
  let response;
  try {
    response = await fetch(API + path, {
      method,
      headers,
      cache: 'no-store',
      body: body === undefined ? undefined : JSON.stringify(body),
    });
  } catch {
    throw new ServiceError(0, 'quintara-server cannot be reached');
  }
  const answer = await response.json().catch(() => null);
  if (response.status === 401) {
    throw new TokenRefused(answer?.error ?? 'the token was refused');
  }
  if (!response.ok || answer === null) {
    throw new ServiceError(response.status,
                           answer?.error ?? `quintara-server answered ${response.status}`);
  }
  return answer;
}

function showMessage(kind, text) {
  const message = $('#message');
  message.dataset.kind = kind;
  message.textContent = text;
}

function showFailure(error) {
  if (error instanceof TokenRefused) {
    askForToken(error.message);
    return;
  }
  showMessage('error', error.message);
}

// A command's words as quintara-cli takes them (mv or matrix implied). One at a time: input that
// arrives while a command is on its way is dropped, never kept for later.
async function command(words, done) {
  if (app.busy || app.selected === null) {
    return false;
  }
  const device = app.selected;
  setBusy(true);
  try {
    const answer = await api('POST', `/devices/${encodeURIComponent(device)}/command`,
                             { args: words.map(String) });
    showMessage('ok', done ?? `Sent: ${answer.result?.sent ?? words.join(' ')}`);
    return true;
  } catch (error) {
    showFailure(error);
    return false;
  } finally {
    setBusy(false);
    if (app.selected === device) {
      app.panel?.refresh();
    }
  }
}

function setBusy(busy) {
  app.busy = busy;
  document.body.dataset.busy = busy ? '1' : '0';
  $('#panel').setAttribute('aria-busy', String(busy));
}

// ---- Token --------------------------------------------------------------------------------

function askForToken(problem) {
  if (app.token !== null) {
    sessionStorage.removeItem(TOKEN_KEY);
    app.token = null;
    $('#token-error').textContent = problem;
  }
  app.socket?.close();
  $('#main').hidden = true;
  $('#token-form').hidden = false;
  $('#token').focus();
}

async function submitToken(event) {
  event.preventDefault();
  app.token = $('#token').value;
  try {
    await api('GET', '/devices');
  } catch (error) {
    app.token = null;
    $('#token-error').textContent =
        error instanceof TokenRefused ? 'The token was refused.' : error.message;
    $('#token').select();
    return;
  }
  sessionStorage.setItem(TOKEN_KEY, app.token);
  $('#token-form').hidden = true;
  $('#token').value = '';
  $('#token-error').textContent = '';
  start();
}

// ---- Devices ------------------------------------------------------------------------------

async function loadDevices() {
  const listed = await api('GET', '/devices');
  showDevices(listed.devices);
}

// The list is rebuilt only when devices come or go: updated in place, a button keeps the
// keyboard's focus and a tap that lands while an event updates it.
function showDevices(devices) {
  app.devices = devices;
  const list = $('#devices');
  const shown = [...list.querySelectorAll('button[data-device]')].map((b) => b.dataset.device);
  if (shown.join('\n') !== devices.map((d) => d.id).join('\n')) {
    list.replaceChildren(...devices.map((d) => element('li', {}, [deviceButton(d.id)])));
  }
  devices.forEach((device, k) => showDevice(list.children[k].firstChild, device));
  $('#no-devices').hidden = devices.length > 0;
  if (app.selected !== null && !devices.some((d) => d.id === app.selected)) {
    closePanel('The device is no longer found.');
  }
  const selected = devices.find((d) => d.id === app.selected);
  if (selected) {
    showHead(selected);
  }
}

function deviceButton(id) {
  const button = element('button', { type: 'button', dataset: { device: id } }, [
    element('span', { className: 'name' }),
    element('span', { className: 'type' }),
    element('span', { className: 'address' }),
    element('span', { className: 'lock-badge' }),
  ]);
  button.addEventListener('click', () => openPanel(id));
  return button;
}

function showDevice(button, device) {
  button.dataset.type = device.type;
  button.dataset.locked = device.locked ? '1' : '0';
  button.setAttribute('aria-current', String(device.id === app.selected));
  $('.name', button).textContent = device.name || device.id;
  $('.type', button).textContent = TYPE_NAMES[device.type] ?? device.type;
  $('.address', button).textContent = device.address;
  $('.lock-badge', button).textContent = device.locked ? 'Locked' : '';
}

async function search() {
  const button = $('#search');
  if (button.disabled) {
    return;
  }
  button.disabled = true;
  showMessage('ok', 'Searching…');
  try {
    const found = await api('POST', '/search');
    showDevices(found.devices);
    showMessage('ok', `${found.devices.length} device(s) found.`);
  } catch (error) {
    showFailure(error);
  } finally {
    button.disabled = false;
  }
}

// ---- Panels -------------------------------------------------------------------------------

function openPanel(id) {
  const device = app.devices.find((d) => d.id === id);
  if (!device || (app.selected === id && app.panel)) {
    return;
  }
  app.selected = id;
  history.replaceState(null, '', '#' + encodeURIComponent(id));
  for (const button of document.querySelectorAll('#devices button')) {
    button.setAttribute('aria-current', String(button.dataset.device === id));
  }
  const panel = $('#panel');
  panel.dataset.device = id;
  panel.dataset.type = device.type;
  panel.replaceChildren($('#panel-head').content.cloneNode(true));
  $('.lock', panel).addEventListener('click', () => {
    const device = app.devices.find((d) => d.id === app.selected);
    if (device) {
      command(['lock', device.locked ? 'off' : 'on']);
    }
  });
  app.panel = device.type === 'multiviewer' ? new MultiviewerPanel(panel)
                                            : new MatrixPanel(panel, CHANNELS[device.type] ?? 8);
  showHead(device);
  app.panel.refresh();
}

function closePanel(why) {
  app.selected = null;
  app.panel = null;
  const panel = $('#panel');
  delete panel.dataset.device;
  delete panel.dataset.type;
  panel.replaceChildren(element('p', { className: 'hint', textContent: why }));
}

function showHead(device) {
  const panel = $('#panel');
  const name = $('.device-name', panel);
  if (!name) {
    return;
  }
  name.textContent = device.name || device.id;
  $('.device-meta', panel).textContent = `${TYPE_NAMES[device.type] ?? device.type} · ${device.address}`;
  const lock = $('.lock', panel);
  lock.setAttribute('aria-pressed', String(device.locked));
  lock.textContent = device.locked ? 'Unlock' : 'Lock';
  $('.locked-note', panel).hidden = !device.locked;
  const controls = $('fieldset.controls', panel);
  if (controls) {
    controls.disabled = device.locked;
  }
}

// Runs refresh once for a burst of calls, and never two at once: a call during a refresh runs
// one more after it.
function coalesced(refresh) {
  let timer = null;
  let running = false;
  let again = false;
  const run = async () => {
    timer = null;
    if (running) {
      again = true;
      return;
    }
    running = true;
    try {
      await refresh();
    } finally {
      running = false;
      if (again) {
        again = false;
        run();
      }
    }
  };
  return {
    now: run,
    soon: () => {
      if (timer === null) {
        timer = setTimeout(run, REFRESH_DELAY_MS);
      }
    },
  };
}

// ---- Multiviewer --------------------------------------------------------------------------

class MultiviewerPanel {
  constructor(root) {
    this.id = app.selected;
    root.append($('#multiviewer-panel').content.cloneNode(true));
    this.root = root;
    this.canvas = $('#preview', root);
    this.state = null;
    this.reads = coalesced(() => this.read());
    this.buildLayouts();
    this.buildFields();
  }

  refresh() {
    this.reads.soon();
  }

  onEvent(event) {
    if (event.event === 'state') {
      this.showState(event.state);
    }
    this.reads.soon();
  }

  async read() {
    const path = `/devices/${encodeURIComponent(this.id)}`;
    try {
      const [device, scene] = await Promise.all([api('GET', path), api('GET', path + '/preview')]);
      if (app.panel !== this) {
        return;
      }
      this.showState(device.state);
      drawScene(this.canvas, scene);
    } catch (error) {
      if (app.panel === this) {
        showFailure(error);
      }
    }
  }

  buildLayouts() {
    const box = $('#layouts', this.root);
    for (const layout of app.layouts?.layouts ?? []) {
      const button = element('button', {
        type: 'button',
        dataset: { layout: String(layout.code) },
        ariaPressed: 'false',
        ariaLabel: `Layout ${layout.code}`,
        title: `Layout ${layout.code}`,
      }, [layoutPicture(layout), element('span', { textContent: String(layout.code) })]);
      button.addEventListener('click', () => command(['layout', layout.code],
                                                     `Layout ${layout.code} sent.`));
      box.append(button);
    }
  }

  buildFields() {
    const inputChoices = () => Array.from({ length: INPUTS }, (_, k) =>
      element('option', { value: String(k + 1), textContent: `Input ${k + 1}` }));
    const sources = $('#sources', this.root);
    const routes = $('#routes', this.root);
    const umd = $('#umd', this.root);
    for (let n = 1; n <= INPUTS; ++n) {
      const source = element('select', { id: `source-${n}`, dataset: { window: String(n) } },
                             inputChoices());
      source.addEventListener('change', () => command(['source', n, source.value]));
      sources.append(field(`Window ${n}`, source));

      const route = element('select', { id: `route-${n}`, dataset: { output: String(n) } },
                            inputChoices());
      route.addEventListener('change', () => command(['route', n, route.value]));
      routes.append(field(`Output ${n}`, route));

      const label = element('input', {
        id: `umd-${n}`, type: 'text', maxLength: UMD_MAX, spellcheck: false,
        dataset: { input: String(n) },
      });
      label.addEventListener('keydown', (event) => {
        if (event.key === 'Enter') {
          event.preventDefault();
          command(['umd-text', n, label.value]);
        } else if (event.key === 'Escape') {
          label.value = this.state?.UmdText?.[n - 1] ?? label.value;
        }
      });
      umd.append(field(`Input ${n}`, label));
    }
  }

  showState(state) {
    this.state = state;
    const layout = state.LayoutCode;
    for (const button of this.root.querySelectorAll('#layouts button')) {
      button.setAttribute('aria-pressed', String(Number(button.dataset.layout) === layout));
    }
    const windows = windowNumbers(layout);
    for (let n = 1; n <= INPUTS; ++n) {
      const source = $(`#source-${n}`, this.root);
      keepUnlessEditing(source, state.WindowSource[n - 1]);
      source.closest('.field').hidden = !windows.has(n);
      keepUnlessEditing($(`#route-${n}`, this.root), state.SwitcherSource[n - 1]);
      keepUnlessEditing($(`#umd-${n}`, this.root), state.UmdText[n - 1]);
    }
    const switcher = state.SwitcherMode === 1;
    $('#routes-section', this.root).hidden = !switcher;
    $('#mode-line', this.root).textContent =
        switcher ? 'Switcher mode: the loop outputs follow the routes below.' : '';
  }
}

function field(text, control) {
  return element('div', { className: 'field' }, [
    element('label', { for: control.id, textContent: text }), control]);
}

// A control the operator is using keeps what they are doing; the device's value shows once
// they leave it.
function keepUnlessEditing(control, value) {
  if (document.activeElement !== control || control.tagName === 'SELECT') {
    control.value = String(value);
  }
}

// The windows a layout shows, by number (a single-window layout shows the window of its code).
function windowNumbers(code) {
  const layout = app.layouts?.layouts.find((l) => l.code === code);
  return new Set((layout?.windows ?? []).map((w) => w.number));
}

const SVG = 'http://www.w3.org/2000/svg';

function layoutPicture(layout) {
  const picture = document.createElementNS(SVG, 'svg');
  picture.setAttribute('viewBox', `0 0 ${app.layouts.width} ${app.layouts.height}`);
  picture.setAttribute('aria-hidden', 'true');
  for (const w of layout.windows) {
    const rect = document.createElementNS(SVG, 'rect');
    for (const [key, value] of Object.entries({ x: w.x, y: w.y, width: w.width, height: w.height })) {
      rect.setAttribute(key, String(value));
    }
    picture.append(rect);
  }
  return picture;
}

// ---- The preview, drawn from the scene the service sends -----------------------------------

const PREVIEW = {
  canvas: '#989898',
  bordered: '#6ebb69',
  unbordered: '#c0c0c0',
  interior: '#393c41',
  green: '#6ebb69',
  rim: '#000000',
  font: '12px sans-serif',
};

function drawScene(canvas, scene) {
  const ratio = window.devicePixelRatio || 1;
  canvas.width = Math.round(scene.width * ratio);
  canvas.height = Math.round(scene.height * ratio);
  const pen = canvas.getContext('2d');
  pen.setTransform(ratio, 0, 0, ratio, 0, 0);
  pen.font = PREVIEW.font;
  pen.textBaseline = 'top';
  fill(pen, { x: 0, y: 0, width: scene.width, height: scene.height }, PREVIEW.canvas);
  const labels = [];
  for (const w of scene.windows) {
    fill(pen, w.frame, w.bordered ? PREVIEW.bordered : PREVIEW.unbordered);
    fill(pen, w.interior, PREVIEW.interior);
    text(pen, { at: w.numberAt, text: String(w.number), ink: PREVIEW.green,
                ground: PREVIEW.interior });
    if (w.label) {
      text(pen, w.label);
      labels.push(w.label.text);
    }
    if (w.meter) {
      fill(pen, w.meter, PREVIEW.green);
    }
    if (w.format) {
      text(pen, w.format);
    }
  }
  if (scene.clock) {
    drawClock(pen, scene.clock);
  }
  for (const symbol of scene.symbols) {
    outlined(pen, symbol, () => pen.rect(symbol.x + 0.5, symbol.y + 0.5, symbol.width - 1,
                                         symbol.height - 1));
  }
  canvas.dataset.layout = String(scene.layout);
  canvas.dataset.switcher = scene.switcherGrid ? '1' : '0';
  canvas.dataset.labels = labels.join('|');
}

function fill(pen, r, colour) {
  pen.fillStyle = colour;
  pen.fillRect(r.x, r.y, r.width, r.height);
}

function text(pen, t) {
  const measured = pen.measureText(t.text);
  const height = measured.fontBoundingBoxAscent + measured.fontBoundingBoxDescent;
  fill(pen, { x: t.at.x, y: t.at.y, width: measured.width, height }, t.ground);
  pen.fillStyle = t.ink;
  pen.fillText(t.text, t.at.x, t.at.y);
}

// A green shape with a black one-pixel rim.
function outlined(pen, r, path) {
  pen.beginPath();
  path();
  pen.fillStyle = PREVIEW.green;
  pen.fill();
  pen.lineWidth = 1;
  pen.strokeStyle = PREVIEW.rim;
  pen.stroke();
}

function drawClock(pen, clock) {
  const d = clock.disc;
  outlined(pen, d, () => pen.ellipse(d.x + d.width / 2, d.y + d.height / 2, d.width / 2 - 0.5,
                                     d.height / 2 - 0.5, 0, 0, 2 * Math.PI));
  pen.beginPath();
  for (const hand of [clock.hourHand, clock.minuteHand]) {
    pen.moveTo(clock.centre.x, clock.centre.y);
    pen.lineTo(hand.x, hand.y);
  }
  pen.stroke();
}

// ---- Matrix switcher ----------------------------------------------------------------------

class MatrixPanel {
  constructor(root, channels) {
    this.id = app.selected;
    this.channels = channels;
    this.root = root;
    this.selectedInput = 0;
    this.marks = new Set();
    this.statusTable = [];
    this.reads = coalesced(() => this.read());
    root.append($('#matrix-panel').content.cloneNode(true));
    this.buildButtons();
    $('#apply', root).addEventListener('click', () => this.apply());
    $('#one-to-all', root).addEventListener('click', () => this.oneToAll());
    $('#one-to-one', root).addEventListener('click', () => this.oneToOne());
    $('#refresh', root).addEventListener('click', () => this.reads.now());
  }

  refresh() {
    this.reads.soon();
  }

  onEvent() {
    this.reads.soon();
  }

  buildButtons() {
    for (let n = 1; n <= this.channels; ++n) {
      const input = element('button', { type: 'button', textContent: String(n),
                                        dataset: { input: String(n) }, ariaPressed: 'false',
                                        ariaLabel: `Input ${n}` });
      input.addEventListener('click', () => this.selectInput(n));
      $('#inputs', this.root).append(input);
      const output = element('button', { type: 'button', textContent: String(n),
                                         dataset: { output: String(n) }, ariaPressed: 'false',
                                         ariaLabel: `Output ${n}` });
      output.addEventListener('click', () => this.toggleOutput(n));
      $('#outputs', this.root).append(output);
      $('#status-row', this.root).append(element('span', {
        className: 'status-cell', dataset: { status: String(n) }, ariaLabel: `Output ${n}`,
        textContent: '–',
      }));
    }
  }

  async read() {
    try {
      const device = await api('GET', `/devices/${encodeURIComponent(this.id)}`);
      if (app.panel === this) {
        this.statusTable = device.state.statusTable;
        this.show();
      }
    } catch (error) {
      if (app.panel === this) {
        showFailure(error);
      }
    }
  }

  selectInput(n) {
    if (app.busy || this.selectedInput === n) {
      return;
    }
    this.selectedInput = n;
    this.marks.clear();
    this.show();
  }

  toggleOutput(n) {
    if (app.busy || this.selectedInput === 0) {
      return;
    }
    if (!this.marks.delete(n)) {
      this.marks.add(n);
    }
    this.show();
  }

  async apply() {
    if (this.selectedInput === 0) {
      showMessage('error', 'Pick an input first.');
      return;
    }
    if (this.marks.size === 0) {
      showMessage('error', 'Mark the outputs the input should feed, then Apply.');
      return;
    }
    const outputs = [...this.marks].sort((a, b) => a - b);
    if (await command(['route', this.selectedInput, outputs.join(',')],
                      `Input ${this.selectedInput} routed to output ${outputs.join(', ')}.`)) {
      this.marks.clear();
    }
  }

  async oneToAll() {
    if (this.selectedInput === 0) {
      showMessage('error', 'Pick an input first.');
      return;
    }
    await command(['all', this.selectedInput], `Input ${this.selectedInput} routed to every output.`);
  }

  async oneToOne() {
    if (await command(['one-to-one'], 'Each input routed to the output of its number.')) {
      this.selectedInput = 0;
      this.marks.clear();
      this.show();
    }
  }

  show() {
    const input = this.selectedInput;
    for (let n = 1; n <= this.channels; ++n) {
      const fed = this.statusTable[n - 1];
      $(`#inputs [data-input="${n}"]`, this.root).setAttribute('aria-pressed', String(n === input));
      const lit = input !== 0 && (fed === input || this.marks.has(n));
      const output = $(`#outputs [data-output="${n}"]`, this.root);
      output.setAttribute('aria-pressed', String(lit));
      output.classList.toggle('marked', this.marks.has(n));
      const cell = $(`#status-row [data-status="${n}"]`, this.root);
      cell.textContent = fed >= 1 && fed <= this.channels ? String(fed) : '–';
    }
  }
}

// ---- Events -------------------------------------------------------------------------------

function connectEvents() {
  const scheme = location.protocol === 'https:' ? 'wss' : 'ws';
  const query = app.token ? `?access_token=${encodeURIComponent(app.token)}` : '';
  const socket = new WebSocket(`${scheme}://${location.host}${API}/events${query}`);
  app.socket = socket;
  showConnection('connecting', 'Connecting');
  socket.addEventListener('open', () => {
    app.reconnects = 0;
    showConnection('live', 'Live');
  });
  socket.addEventListener('message', (message) => {
    let event;
    try {
      event = JSON.parse(message.data);
    } catch {
      return;
    }
    onEvent(event);
  });
  socket.addEventListener('close', () => {
    if (app.socket !== socket) {
      return;
    }
    app.socket = null;
    if (!$('#token-form').hidden) {
      return;
    }
    const delay = RECONNECT_DELAYS_MS[Math.min(app.reconnects, RECONNECT_DELAYS_MS.length - 1)];
    app.reconnects += 1;
    showConnection('offline', 'Reconnecting');
    setTimeout(reconnect, delay);
  });
}

async function reconnect() {
  try {
    await loadDevices();
  } catch (error) {
    if (error instanceof TokenRefused) {
      askForToken(error.message);
      return;
    }
  }
  connectEvents();
  app.panel?.refresh();
}

function showConnection(state, text) {
  const shown = $('#connection');
  shown.dataset.state = state;
  shown.textContent = text;
}

function onEvent(event) {
  switch (event.event) {
    case 'devices':
      showDevices(event.devices);
      return;
    case 'found':
      showDevices([...app.devices.filter((d) => d.id !== event.device.id), event.device]);
      return;
    case 'lost':
      showDevices(app.devices.filter((d) => d.id !== event.device));
      return;
    default:
      if (event.device === app.selected) {
        app.panel?.onEvent(event);
      }
  }
}

// ---- Start --------------------------------------------------------------------------------

async function start() {
  try {
    [app.layouts] = await Promise.all([api('GET', '/layouts'), loadDevices()]);
  } catch (error) {
    if (error instanceof TokenRefused) {
      askForToken(error.message);
    } else {
      showMessage('error', error.message);
      showConnection('offline', 'Unreachable');
      setTimeout(start, RECONNECT_DELAYS_MS.at(-1));
    }
    return;
  }
  showMessage('none', '');
  $('#main').hidden = false;
  $('#search').disabled = false;
  document.body.dataset.ready = '1';
  connectEvents();
  // A bookmarked device opens again.
  const asked = decodeURIComponent(location.hash.slice(1));
  if (asked && app.selected === null) {
    openPanel(asked);
  }
}

$('#token-form').addEventListener('submit', submitToken);
$('#search').addEventListener('click', search);
start();
