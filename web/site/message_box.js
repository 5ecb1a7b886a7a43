// The desktop's message box in the page: the text and an OK button, the
// rest of the page out of reach until it is closed. Enter, Space and
// Escape close it too.
const queue = [];

function open(text, title, done) {
  const outside = [...document.body.children];
  const before = document.activeElement;
  const box = document.createElement('div');
  box.className = 'message-box';
  box.setAttribute('role', 'alertdialog');
  box.setAttribute('aria-modal', 'true');
  box.innerHTML =
    '<div class="title" id="message_title"></div><p id="message_text"></p>' +
    '<div class="buttons"><button type="button">OK</button></div>';
  box.setAttribute('aria-labelledby', 'message_title');
  box.setAttribute('aria-describedby', 'message_text');
  box.querySelector('.title').textContent = title;
  box.querySelector('p').textContent = text;
  const ok = box.querySelector('button');
  const close = () => {
    box.remove();
    outside.forEach((element) => { element.inert = false; });
    before?.focus?.();
    done();
  };
  ok.addEventListener('click', close);
  box.addEventListener('keydown', (event) => {
    if (event.key === 'Escape' || event.key === 'Enter') {
      event.preventDefault();
      event.stopPropagation();
      close();
    } else if (event.key === 'Tab') {
      event.preventDefault();  // the only control keeps the focus
    }
  });
  outside.forEach((element) => { element.inert = true; });
  document.body.append(box);
  ok.focus();
}

// Shows the message once those before it have been closed; resolves when
// it is closed.
export function showMessage(text, title) {
  return new Promise((resolve) => {
    queue.push([text, title, resolve]);
    if (queue.length === 1) next();
  });
}

function next() {
  if (queue.length === 0) return;
  const [text, title, resolve] = queue[0];
  open(text, title, () => {
    queue.shift();
    resolve();
    next();
  });
}
