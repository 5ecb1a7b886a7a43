// The engine's home: the run goes on here, so that the page stays
// responsive however long it takes. The worker makes steps a few
// milliseconds at a time and in between hears the page: once per display
// frame the page asks for a frame (the output texts and the pictures that
// changed), and Escape ends the run after the current step.
/* global createHeatplate */
'use strict';
importScripts('heatplate.js');

const kBusy = -1;   // the slice's time was up
const kPaced = -2;  // a step to show as a frame of its own
const kRefused = 1; // RunOutcome::Refused
const kSliceMs = 4;

let hp = null;
let running = false;
let frameWanted = false;
// A step to be shown as a frame of its own is taken as it is and shown at
// the next display frame while the run goes on; only a second one before
// that makes the run wait for the page.
let pacedFrame = null;
let afterFrame = null;  // what waits for the page's next frame
// A page out of sight asks for no frames; its run goes on without them.
let visible = true;
const shownVersions = ['', '', ''];  // version and size of each picture sent

// The frames of the run go to the encoder as they are taken; its
// animations join the run's end.
const encoder = new Worker('encoder.js');
let ending = null;
function animationsDone(data) {
  if (!ending) return;
  const [message, transfer] = ending;
  ending = null;
  if (data.error) message.animationError = data.error;
  if (data.animations) {
    message.animations = data.animations;
    transfer.push(...data.animations);
  }
  postMessage(message, transfer);
}
encoder.onmessage = ({ data }) => animationsDone(data);
// An encoder that fails outright costs the run its animations, not its end.
encoder.onerror = (event) => {
  event.preventDefault();
  animationsDone({ error: `Could not record the animation: ${event.message}` });
};

function forwardFrames() {
  const frames = hp._hp_take_frames();
  const size = hp._hp_held_size();
  if (size > 0) {
    const bytes = copyBytes(frames, size);
    encoder.postMessage({ type: 'frames', bytes }, [bytes]);
  }
}

// Back to the event loop between slices, without a timer's delay.
const slices = new MessageChannel();
slices.port1.onmessage = slice;
const nextSlice = () => slices.port2.postMessage(null);

function copyBytes(pointer, size) {
  return hp.HEAPU8.slice(pointer, pointer + size).buffer;
}

function takeText(pointer) {
  return hp.UTF8ToString(pointer);
}

// The outputs and the pictures that changed since the last frame.
function frame(type) {
  const message = JSON.parse(takeText(hp._hp_take_outputs()));
  message.type = type;
  message.pictures = [];
  const transfer = [];
  for (let id = 0; id < shownVersions.length; ++id) {
    const width = hp._hp_picture_width(id);
    const height = hp._hp_picture_height(id);
    const version = `${hp._hp_picture_version(id)} ${width}x${height}`;
    if (version === shownVersions[id]) continue;
    shownVersions[id] = version;
    const pixels = copyBytes(hp._hp_picture_rgba(id), width * height * 4);
    message.pictures.push({ id, width, height, pixels });
    transfer.push(pixels);
  }
  return [message, transfer];
}

function sendFrame() {
  frameWanted = false;
  if (pacedFrame) {
    postMessage(...pacedFrame);
    pacedFrame = null;
  } else {
    postMessage(...frame('frame'));
  }
}

// The files of the run: results.txt after a completed run, the animations
// after any run that was not refused.
function endRun(outcome) {
  running = false;
  frameWanted = false;
  if (pacedFrame) sendFrame();
  const [message, transfer] = frame('end');
  message.outcome = outcome;
  const results = hp._hp_take_results();
  if (results) {
    message.results = copyBytes(results, hp._hp_held_size());
    transfer.push(message.results);
  }
  if (outcome === kRefused) {
    postMessage(message, transfer);
    return;
  }
  forwardFrames();
  const error = takeText(hp._hp_recording_error());
  if (error) {
    message.animationError = error;
    postMessage(message, transfer);
    return;
  }
  ending = [message, transfer];
  encoder.postMessage({ type: 'end' });
}

function slice() {
  if (!running) return;
  const result = hp._hp_run_for(kSliceMs);
  if (result >= 0) {
    // The last step waits for its display frame like any other.
    if (pacedFrame && visible && !frameWanted) {
      afterFrame = () => endRun(result);
    } else {
      endRun(result);
    }
    return;
  }
  forwardFrames();
  if (result === kPaced && visible) {
    if (pacedFrame && !frameWanted) {
      afterFrame = () => {
        pacedFrame = frame('frame');
        nextSlice();
      };
      return;
    }
    if (pacedFrame) {
      sendFrame();  // the one before, then this one at the next display frame
      pacedFrame = frame('frame');
    } else if (frameWanted) {
      sendFrame();
    } else {
      pacedFrame = frame('frame');
    }
  } else if (frameWanted) {
    sendFrame();
  }
  nextSlice();
}

// The page asks for a frame once per display frame.
function frameAsked() {
  frameWanted = true;
  if (afterFrame) {
    const next = afterFrame;
    afterFrame = null;
    sendFrame();
    next();
  }
}

function startRun({ texts, option, scroll, ratio }) {
  if (running) return;
  for (const [id, text] of texts) {
    hp.ccall('hp_set_text', null, ['number', 'string'], [id, text]);
  }
  hp._hp_choose(option);
  hp._hp_set_scroll(scroll);
  frameWanted = false;
  const result = hp._hp_begin(ratio);
  if (result >= 0) {
    endRun(result);
    return;
  }
  running = true;
  encoder.postMessage({ type: 'begin' });
  nextSlice();
}

const handlers = {
  run: startRun,
  frame: frameAsked,
  escape() {
    hp._hp_escape();
  },
  visibility({ shown }) {
    visible = shown;
    // What waits goes on; the frame it waited to show is sent all the same,
    // as the pictures it holds are sent only once.
    if (!visible && afterFrame) frameAsked();
  },
  scroll({ value }) {
    if (running) return;
    hp._hp_set_scroll(value);
    hp._hp_scroll_change();
    sendFrame();
  },
};

const early = [];
onmessage = ({ data }) => (hp ? handlers[data.type](data) : early.push(data));

createHeatplate().then((module) => {
  hp = module;
  const description = JSON.parse(takeText(hp._hp_page_description()));
  postMessage({ type: 'ready', description });
  sendFrame();
  for (const data of early.splice(0)) handlers[data.type](data);
});
