// The context menu of a picture: a right click opens it, and so do the
// Menu key and Shift+F10 when the picture has the focus. Its entries
// download the picture as it is shown (a PNG of the canvas's own pixels)
// and the last run's animation (a looping GIF, as heatplate-batch
// --animate makes it).
import { showMessage } from './message_box.js';

export function offerDownload(blob, name) {
  const link = Object.assign(document.createElement('a'), {
    href: URL.createObjectURL(blob), download: name, hidden: true,
  });
  document.body.append(link);
  link.click();
  link.remove();
  // Time for the download to take the bytes.
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

export class PictureMenu {
  constructor(canvas, stem, title) {
    Object.assign(this, { canvas, stem, title, animation: null, animationError: null });
    this.element = document.createElement('div');
    this.element.className = 'menu';
    this.element.setAttribute('role', 'menu');
    this.element.hidden = true;
    this.items = [
      this.item('Save Picture', () => this.savePicture()),
      this.item('Save Animation', () => this.saveAnimation()),
    ];
    this.setAnimation(null, null);
    this.element.addEventListener('keydown', (event) => this.key(event));
    this.element.addEventListener('focusout', (event) => {
      if (!this.element.contains(event.relatedTarget)) this.close(false);
    });
    document.body.append(this.element);
    canvas.addEventListener('contextmenu', (event) => {
      event.preventDefault();
      const inside = event.offsetX >= 0 && event.offsetY >= 0 && event.button === 2;
      this.open(inside ? event.clientX : null, inside ? event.clientY : null);
    });
    canvas.addEventListener('keydown', (event) => {
      if (event.key === 'ContextMenu' || (event.key === 'F10' && event.shiftKey)) {
        event.preventDefault();
        this.open(null, null);
      }
    });
  }

  item(caption, action) {
    const item = Object.assign(document.createElement('div'), { tabIndex: -1 });
    item.setAttribute('role', 'menuitem');
    item.textContent = caption;
    item.addEventListener('click', () => this.activate(item, action));
    item.action = action;
    this.element.append(item);
    return item;
  }

  // The last run's animation, or why there is none.
  setAnimation(bytes, error) {
    this.animation = bytes ? new Blob([bytes], { type: 'image/gif' }) : null;
    this.animationError = error || null;
    const none = !this.animation && !this.animationError;
    this.items[1].setAttribute('aria-disabled', none ? 'true' : 'false');
  }

  // At the pointer, or for the keyboard at the picture's corner.
  open(x, y) {
    const corner = this.canvas.getBoundingClientRect();
    this.element.hidden = false;
    const { width, height } = this.element.getBoundingClientRect();
    const left = Math.min(x ?? corner.left + 8, window.innerWidth - width);
    const top = Math.min(y ?? corner.top + 8, window.innerHeight - height);
    Object.assign(this.element.style, { left: `${Math.max(0, left)}px`, top: `${Math.max(0, top)}px` });
    this.items[0].focus();
  }

  close(refocus) {
    if (this.element.hidden) return;
    this.element.hidden = true;
    if (refocus) this.canvas.focus();
  }

  activate(item, action) {
    if (item.getAttribute('aria-disabled') === 'true') return;
    this.close(true);
    action();
  }

  key(event) {
    const at = this.items.indexOf(document.activeElement);
    const moves = { ArrowDown: at + 1, ArrowUp: at - 1, Home: 0, End: this.items.length - 1 };
    if (event.key in moves) {
      const n = this.items.length;
      this.items[(moves[event.key] + n) % n].focus();
    } else if (event.key === 'Enter' || event.key === ' ') {
      if (at >= 0) this.activate(this.items[at], this.items[at].action);
    } else if (event.key === 'Escape') {
      this.close(true);
    } else if (event.key === 'Tab') {
      this.close(true);
    } else {
      return;
    }
    event.preventDefault();
    event.stopPropagation();
  }

  savePicture() {
    this.canvas.toBlob((blob) => offerDownload(blob, `${this.stem}.png`), 'image/png');
  }

  saveAnimation() {
    if (this.animationError) {
      showMessage(this.animationError, this.title);
    } else if (this.animation) {
      offerDownload(this.animation, `${this.stem}.gif`);
    }
  }
}
