// The page is the window: the 36 controls of the engine's control table at
// their designed places, and the run behind them in a worker. The engine
// hands the table over when it has loaded, so the page has no list of its
// own to drift from the desktop's.
import { ScrollBar } from './scroll_bar.js';
import { PictureMenu } from './picture_menu.js';
import { showMessage } from './message_box.js';

const kRefused = 1;  // RunOutcome::Refused
const form = document.getElementById('Form1');
const worker = startWorker();

let twipsPerPixel = 15;
let title = '';
const px = (twips) => Math.round(twips / twipsPerPixel);

const elements = new Map();  // by control name
const textBoxes = [];        // by TextBoxId
const options = [];          // radio inputs by OptionId
const canvases = [];         // by PictureId
let scrollBar = null;
let menus = [];

const run = {
  active: false,
  frameAsked: false,
  calculateHeld: false,  // CALCULATE pressed during a run: a run follows
  scrollHeld: false,     // the scroll bar moved during a run
};

// The notice tells why heatplate could not start, unless the page hides it
// in time: a page opened as a file runs none of its scripts.
function notice(text) {
  const line = document.getElementById('notice');
  if (text) line.textContent = text;
  line.classList.remove('starting');
  line.hidden = !text;
}

function startWorker() {
  const failed = () => {
    if (form.classList.contains('starting')) notice(document.getElementById('notice').textContent);
  };
  try {
    const started = new Worker('worker.js');
    started.addEventListener('error', failed);
    return started;
  } catch {
    failed();
    return { postMessage() {} };
  }
}

function place(element, entry) {
  Object.assign(element.style, {
    left: `${px(entry.left)}px`,
    top: `${px(entry.top)}px`,
    width: `${px(entry.width)}px`,
    height: `${px(entry.height)}px`,
  });
}

// A control's tab stop, in the order of the table.
function tabStop(element, entry) {
  element.tabIndex = entry.tab + 1;
}

const makers = {
  Frame: () => Object.assign(document.createElement('div'), { className: 'frame' }),
  Label(entry, container) {
    const label = Object.assign(document.createElement('div'), { className: 'label' });
    label.textContent = entry.text;
    if (container.classList.contains('picture')) {
      label.style.background = container.dataset.background;
    }
    return label;
  },
  CommandButton(entry) {
    const button = Object.assign(document.createElement('button'), { type: 'button' });
    button.textContent = entry.text;
    tabStop(button, entry);
    button.addEventListener('click', calculate);
    return button;
  },
  OptionButton(entry, container) {
    // The options of a frame exclude each other and are one tab stop.
    const label = Object.assign(document.createElement('label'), { className: 'option' });
    const radio = Object.assign(document.createElement('input'), {
      type: 'radio', name: container.id, checked: entry.value === 1,
    });
    tabStop(radio, entry);
    options[entry.id] = radio;
    label.append(radio, document.createTextNode(entry.text));
    return label;
  },
  TextBox(entry) {
    // As long a text as the desktop's boxes take.
    const box = Object.assign(document.createElement('input'), {
      type: 'text', value: entry.text, disabled: !entry.enabled,
      spellcheck: false, autocomplete: 'off', maxLength: 32767,
    });
    if (entry.enabled) tabStop(box, entry);
    // The step counts grow to seven digits and more in boxes made for four.
    if (fitting.includes(entry.name)) box.addEventListener('input', () => fit(box));
    textBoxes[entry.id] = box;
    return box;
  },
  PictureBox(entry, container, description) {
    const picture = description.pictures[entry.id];
    const box = Object.assign(document.createElement('div'), { className: 'picture' });
    box.dataset.background = picture.background;
    box.style.background = picture.background;
    const canvas = Object.assign(document.createElement('canvas'), {
      width: picture.width, height: picture.height,
    });
    Object.assign(canvas.style, { width: `${picture.width}px`, height: `${picture.height}px` });
    canvas.setAttribute('role', 'img');
    canvas.setAttribute('aria-label', entry.tip.split('\n')[0]);
    // Focusable, so that the keyboard reaches the picture's menu.
    tabStop(canvas, entry);
    canvases[entry.id] = canvas;
    box.append(canvas);
    return box;
  },
  HScrollBar(entry) {
    scrollBar = new ScrollBar({ min: 10, max: 90, page: 10, value: entry.value });
    tabStop(scrollBar.element, entry);
    scrollBar.onChange = scrollChanged;
    return scrollBar.element;
  },
};

function build(description) {
  twipsPerPixel = description.twipsPerPixel;
  title = description.window.title;
  form.style.width = `${px(description.window.width)}px`;
  form.style.height = `${px(description.window.height)}px`;
  elements.set(description.window.name, form);
  // Each container comes before what it holds.
  for (const entry of description.controls) {
    const container = elements.get(entry.container);
    const element = makers[entry.kind](entry, container, description);
    element.id = entry.name;
    element.classList.add(entry.kind);
    if (entry.tip) element.title = entry.tip;
    place(element, entry);
    container.append(element);
    elements.set(entry.name, element);
  }
  menus = description.pictures.map((picture, id) => new PictureMenu(canvases[id], picture.stem, title));
  fitFont();
  form.classList.remove('starting');
  // The window opens with the focus on its first control.
  const first = [...form.querySelectorAll('[tabindex]')]
    .filter((e) => e.tabIndex > 0 && !(e.type === 'radio' && !e.checked))
    .sort((a, b) => a.tabIndex - b.tabIndex)[0];
  first?.focus();
}

// The window was laid out for an interface font narrower than most; the
// font gives way until every caption fits its label.
function fitFont() {
  const labels = [...form.querySelectorAll('.label')];
  for (let points = 9; points >= 6; points -= 0.25) {
    form.style.fontSize = `${points}pt`;
    if (labels.every((label) => label.scrollWidth <= label.clientWidth)) return;
  }
}

// The text of a box that is too long for it narrows until it fits.
const fitting = ['Text_MaxTime', 'Text_iTime'];
function fit(box) {
  box.style.fontSize = '';
  for (let scale = 0.9; box.scrollWidth > box.clientWidth && scale > 0.55; scale -= 0.1) {
    box.style.fontSize = `${scale}em`;
  }
}

function setText(name, text) {
  const box = elements.get(name);
  if (!box || box.value === text) return;
  box.value = text;
  if (fitting.includes(name)) fit(box);
}

function paint({ id, width, height, pixels }) {
  const canvas = canvases[id];
  if (canvas.width !== width || canvas.height !== height) {
    canvas.width = width;
    canvas.height = height;
  }
  const image = new ImageData(new Uint8ClampedArray(pixels), width, height);
  canvas.getContext('2d').putImageData(image, 0, 0);
}

function show(data) {
  for (const [name, text] of Object.entries(data.texts)) setText(name, text);
  for (const picture of data.pictures) paint(picture);
}

function setRunning(on) {
  run.active = on;
  form.dataset.state = on ? 'running' : 'idle';
}

function calculate() {
  if (run.active) {
    run.calculateHeld = true;
    return;
  }
  setRunning(true);
  run.frameAsked = false;
  const texts = textBoxes.flatMap((box, id) => (box.disabled ? [] : [[id, box.value]]));
  const option = options.findIndex((radio) => radio.checked);
  worker.postMessage({
    type: 'run', texts, option, scroll: scrollBar.value, ratio: window.devicePixelRatio || 1,
  });
  requestAnimationFrame(askForFrame);
}

// Once per display frame, when the last frame has been shown.
function askForFrame() {
  if (!run.active) return;
  if (!run.frameAsked) {
    run.frameAsked = true;
    worker.postMessage({ type: 'frame' });
  }
  requestAnimationFrame(askForFrame);
}

function scrollChanged(value) {
  if (run.active) {
    run.scrollHeld = true;
  } else {
    worker.postMessage({ type: 'scroll', value });
  }
}

function offerResults(bytes) {
  const link = document.getElementById('results_txt');
  if (link.href) URL.revokeObjectURL(link.href);
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'text/plain' }));
  document.getElementById('files').hidden = false;
}

function endProgram() {
  worker.terminate();
  form.inert = true;
  form.dataset.state = 'ended';
  notice('heatplate has ended. Reload the page to start it again.');
}

async function runEnded(data) {
  setRunning(false);
  show(data);
  if (data.results) offerResults(data.results);
  if (data.outcome !== kRefused && (data.animations || data.animationError)) {
    menus.forEach((menu, id) => menu.setAnimation(data.animations?.[id], data.animationError));
  }
  for (const text of data.messages) await showMessage(text, title);
  if (data.ended) {
    endProgram();
    return;
  }
  if (run.scrollHeld) {
    run.scrollHeld = false;
    scrollChanged(scrollBar.value);
  }
  if (run.calculateHeld) {
    run.calculateHeld = false;
    calculate();
  }
}

worker.onmessage = ({ data }) => {
  if (data.type === 'ready') {
    notice('');
    build(data.description);
    setRunning(false);
    worker.postMessage({ type: 'visibility', shown: !document.hidden });
  } else if (data.type === 'frame') {
    run.frameAsked = false;
    show(data);
  } else if (data.type === 'end') {
    runEnded(data);
  }
};

document.addEventListener('visibilitychange', () => {
  worker.postMessage({ type: 'visibility', shown: !document.hidden });
});

// Escape ends a run after the current step, its results kept.
window.addEventListener('keydown', (event) => {
  if (event.key === 'Escape' && run.active && !document.querySelector('[role=alertdialog]')) {
    event.preventDefault();
    worker.postMessage({ type: 'escape' });
  }
});
