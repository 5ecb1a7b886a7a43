// The animations' encoder, a worker beside the one that runs: it takes the
// frames of a run as they come and makes the three looping GIFs, so that
// the run never waits for the encoding.
/* global createHeatplate */
'use strict';
importScripts('heatplate.js');

let hp = null;
const early = [];

const handlers = {
  begin() {
    hp._hp_encoder_begin();
  },
  frames({ bytes }) {
    const data = new Uint8Array(bytes);
    hp.HEAPU8.set(data, hp._hp_encoder_buffer(data.length));
    hp._hp_encoder_add();
  },
  end() {
    if (hp._hp_encoder_end() !== 0) {
      postMessage({ error: hp.UTF8ToString(hp._hp_encoder_error()) });
      return;
    }
    const animations = [0, 1, 2].map((id) => {
      const pointer = hp._hp_gif(id);
      return hp.HEAPU8.slice(pointer, pointer + hp._hp_gif_size(id)).buffer;
    });
    postMessage({ animations }, animations);
  },
};

onmessage = ({ data }) => (hp ? handlers[data.type](data) : early.push(data));

createHeatplate().then((module) => {
  hp = module;
  for (const data of early.splice(0)) handlers[data.type](data);
});
