// A classic horizontal scroll bar: an arrow at each end moves the value by
// one, the trough by a page, and the thumb can be dragged; the value
// changes when the thumb is let go, not while it is dragged. Its keys are
// the classic ones: Right and Down one up, Left and Up one down, Page Down
// and Page Up a page, Home and End to the ends.
const kRepeatDelayMs = 500;
const kRepeatMs = 50;
const kShortestThumb = 26;  // as the desktop style draws it

const keySteps = {
  ArrowRight: (bar) => bar.value + 1,
  ArrowDown: (bar) => bar.value + 1,
  ArrowLeft: (bar) => bar.value - 1,
  ArrowUp: (bar) => bar.value - 1,
  PageDown: (bar) => bar.value + bar.page,
  PageUp: (bar) => bar.value - bar.page,
  Home: (bar) => bar.min,
  End: (bar) => bar.max,
};

export class ScrollBar {
  constructor({ min, max, page, value }) {
    Object.assign(this, { min, max, page, value });
    this.onChange = () => {};
    this.element = document.createElement('div');
    this.element.setAttribute('role', 'scrollbar');
    this.element.setAttribute('aria-orientation', 'horizontal');
    this.element.setAttribute('aria-valuemin', min);
    this.element.setAttribute('aria-valuemax', max);
    const part = (name) => Object.assign(document.createElement('div'), { className: name });
    this.less = part('arrow less');
    this.trough = part('trough');
    this.thumb = part('thumb');
    this.more = part('arrow more');
    this.trough.append(this.thumb);
    this.element.append(this.less, this.trough, this.more);
    this.element.addEventListener('keydown', (event) => this.key(event));
    this.element.addEventListener('pointerdown', (event) => this.press(event));
    new ResizeObserver(() => this.showAt(this.value)).observe(this.trough);
    this.set(value);
  }

  clamp(v) {
    return Math.min(this.max, Math.max(this.min, Math.round(v)));
  }

  // The value, and onChange when it is a new one.
  set(v) {
    const value = this.clamp(v);
    const changed = value !== this.value;
    this.value = value;
    this.element.setAttribute('aria-valuenow', value);
    this.showAt(value);
    if (changed) this.onChange(value);
  }

  thumbLength() {
    const span = this.max - this.min + this.page;
    return Math.max(kShortestThumb, Math.round((this.trough.clientWidth * this.page) / span));
  }

  // The thumb at a position, which while dragging runs ahead of the value.
  showAt(position) {
    const length = this.thumbLength();
    const room = this.trough.clientWidth - length;
    const offset = (room * (position - this.min)) / (this.max - this.min);
    Object.assign(this.thumb.style, { width: `${length}px`, left: `${Math.round(offset)}px` });
  }

  key(event) {
    const step = keySteps[event.key];
    if (!step || event.altKey || event.ctrlKey || event.metaKey) return;
    event.preventDefault();
    this.set(step(this));
  }

  press(event) {
    if (event.button !== 0) return;
    event.preventDefault();
    this.element.focus();
    if (event.target === this.thumb) {
      this.drag(event);
      return;
    }
    const towards = event.clientX < this.thumb.getBoundingClientRect().left ? -1 : 1;
    const action =
      event.target === this.less ? () => this.set(this.value - 1)
        : event.target === this.more ? () => this.set(this.value + 1)
          : () => this.pageTowards(event.clientX, towards);
    this.repeat(action);
  }

  // A page at a time while the trough is held, until the thumb reaches
  // the pointer.
  pageTowards(x, towards) {
    const thumb = this.thumb.getBoundingClientRect();
    if (towards < 0 ? x < thumb.left : x >= thumb.right) this.set(this.value + towards * this.page);
  }

  // Acts at once, then again and again while the button is held.
  repeat(action) {
    action();
    let timer = setTimeout(function again() {
      action();
      timer = setTimeout(again, kRepeatMs);
    }, kRepeatDelayMs);
    const stop = () => {
      clearTimeout(timer);
      window.removeEventListener('pointerup', stop);
      window.removeEventListener('pointercancel', stop);
    };
    window.addEventListener('pointerup', stop);
    window.addEventListener('pointercancel', stop);
  }

  drag(event) {
    const start = event.clientX;
    const from = this.value;
    const perPixel = (this.max - this.min) / Math.max(1, this.trough.clientWidth - this.thumbLength());
    let position = from;
    this.thumb.setPointerCapture(event.pointerId);
    const move = (e) => {
      position = this.clamp(from + (e.clientX - start) * perPixel);
      this.showAt(position);
    };
    const release = () => {
      this.thumb.removeEventListener('pointermove', move);
      this.thumb.removeEventListener('pointerup', release);
      this.thumb.removeEventListener('pointercancel', release);
      this.set(position);
    };
    this.thumb.addEventListener('pointermove', move);
    this.thumb.addEventListener('pointerup', release);
    this.thumb.addEventListener('pointercancel', release);
  }
}
