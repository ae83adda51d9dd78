// The phone's page: the screen as the emulator pushes it, touches and keys sent back in the order
// they happen, and the console (its output and the device trace arrive as events).
"use strict";

const token = takeToken();
const screen = document.getElementById("screen");
const log = document.getElementById("log");
const status = document.getElementById("status");
const commandInput = document.getElementById("command");
const kMaxLogLines = 3000;

// What tests and curious users can look at from the browser's console.
// sent: each request with the id the emulator gave it; outcomes: by id, as the console reports.
// refused: requests the emulator refused, with its reason.
const tovarin = (window.tovarin = {
  frames: [],
  sent: [],
  refused: [],
  outcomes: new Map(),
  serial: 0,
  state: null,
});

// The token of this run, from the address tovarin-emu printed. It leaves the address bar at once,
// so that the browser's history does not keep it; the tab keeps it for a reload.
function takeToken() {
  const params = new URLSearchParams(location.search);
  const given = params.get("token");
  if (!given) return sessionStorage.getItem("tovarin-token") || "";
  sessionStorage.setItem("tovarin-token", given);
  params.delete("token");
  const rest = params.toString();
  history.replaceState(null, "", location.pathname + (rest ? "?" + rest : "") + location.hash);
  return given;
}

function addLine(text, kind) {
  const atBottom = log.scrollTop + log.clientHeight >= log.scrollHeight - 4;
  const line = document.createElement("div");
  line.textContent = text;
  if (kind) line.className = kind;
  else if (text.startsWith("web> ")) line.className = "web";
  else if (text.startsWith("failed: ") || text.startsWith("web: ")) line.className = "failed";
  log.appendChild(line);
  while (log.childElementCount > kMaxLogLines) log.firstElementChild.remove();
  if (atBottom) log.scrollTop = log.scrollHeight;
}

// Requests go one after the other, so the phone gets a press before its move and its lift. Of
// moves, only the latest waiting one is sent: a drag never falls behind the finger.
const queue = [];
let sending = false;

function send(path, body) {
  const last = queue[queue.length - 1];
  if (path === "/api/stylus" && body.action === "move" && last && last.body.action === "move") {
    last.body = body;
  } else {
    queue.push({ path, body });
  }
  if (!sending) pump();
}

async function pump() {
  sending = true;
  while (queue.length) {
    const { path, body } = queue.shift();
    try {
      const answer = await fetch(path, {
        method: "POST",
        headers: { "Content-Type": "application/json", "X-Tovarin-Token": token },
        body: JSON.stringify(body),
      });
      if (answer.status === 202) {
        tovarin.sent.push({ path, body, id: (await answer.json()).id });
        if (tovarin.sent.length > 200) tovarin.sent.shift();
      } else if (!answer.ok) {
        const reason = (await answer.json().catch(() => ({}))).error || answer.statusText;
        tovarin.refused.push({ path, body, status: answer.status, reason });
        if (tovarin.refused.length > 200) tovarin.refused.shift();
        addLine(reason, "local");
      }
    } catch (error) {
      addLine("the emulator does not answer: " + error.message, "local");
    }
  }
  sending = false;
}

// The screen point under a pointer event, in the phone's pixels.
function screenPoint(event) {
  const box = screen.getBoundingClientRect();
  const width = screen.naturalWidth || 480;
  const height = screen.naturalHeight || 640;
  const x = Math.floor(((event.clientX - box.left) * width) / box.width);
  const y = Math.floor(((event.clientY - box.top) * height) / box.height);
  return { x: Math.min(Math.max(x, 0), width - 1), y: Math.min(Math.max(y, 0), height - 1) };
}

let pressed = false;
screen.addEventListener("pointerdown", (event) => {
  if (event.button !== 0) return;
  event.preventDefault();
  if (checking) return offerChecks(screenPoint(event));
  screen.setPointerCapture(event.pointerId);
  pressed = true;
  send("/api/stylus", { action: "down", ...screenPoint(event) });
});
screen.addEventListener("pointermove", (event) => {
  if (pressed) send("/api/stylus", { action: "move", ...screenPoint(event) });
});
function lift(event) {
  if (!pressed) return;
  pressed = false;
  send("/api/stylus", { action: "up", ...screenPoint(event) });
}
screen.addEventListener("pointerup", lift);
screen.addEventListener("pointercancel", lift);

for (const button of document.querySelectorAll("[data-key]")) {
  button.addEventListener("click", () => send("/api/key", { key: button.dataset.key }));
}

document.getElementById("typing").addEventListener("submit", (event) => {
  event.preventDefault();
  const text = document.getElementById("text");
  if (text.value) send("/api/type", { text: text.value });
  text.value = "";
});

// The screen as the page shows it now, downloaded as a PNG file (the page's console does not write
// files of the computer).
document.getElementById("screenshot").addEventListener("click", () => {
  if (!screen.src) return;
  const link = document.createElement("a");
  link.href = screen.src;
  link.download = "phone-" + new Date().toISOString().replace(/[:.]/g, "-") + ".png";
  link.click();
});

// The controls panel: each control sends the console command that does the same (echoed in the
// pane as "web> ...", so the grammar is learnt by clicking), and shows the phone's state as the
// emulator reports it ("state" events, asked for after each outcome and every second).
const kTelephoneNumber = /^[0-9+*#(). -]*$/;

function panelCommand(action) {
  const number = document.getElementById("number").value.trim();
  const cardName = document.getElementById("card-name").value.trim();
  const needNumber = (verb) => {
    if (!kTelephoneNumber.test(number)) {
      addLine("a number is digits, +, *, # and the separators ( ) . - and space", "local");
      return null;
    }
    return `call ${verb} "${number}"`;
  };
  switch (action) {
    case "incoming": return needNumber("incoming");
    case "second": return needNumber("second");
    case "answer": return "call answer";
    case "end": return "call end";
    case "miss": return "call miss";
    case "ac-on": return "power ac on";
    case "ac-off": return "power ac off";
    case "card-insert":
      if (cardName.includes('"')) {
        addLine("a card's name holds no quotes", "local");
        return null;
      }
      return cardName ? `card insert "${cardName}"` : "card insert";
    case "card-remove": return "card remove";
    case "portrait":
    case "landscape":
    case "square":
      return "rotate " + action;
    case "time-set": {
      const value = document.getElementById("time").value;
      if (!value) {
        addLine("pick the date and time to set first", "local");
        return null;
      }
      const [date, time] = value.split("T");
      return `time set "${date} ${time.length === 5 ? time + ":00" : time}"`;
    }
  }
  return null;
}

for (const button of document.querySelectorAll("[data-panel]")) {
  button.addEventListener("click", () => {
    const line = panelCommand(button.dataset.panel);
    if (line) send("/api/command", { line });
  });
}

// While the console runs a script (`run`), the page shows it and changes nothing: the emulator
// refuses what would act on the phone, and the controls that would are disabled; the views read.
const kChangingControls =
  "[data-panel], [data-key], #typing button, #text, #command, " +
  '[data-registry="set"], [data-registry="delete"], #files-list [data-delete]';

function showScript(script) {
  const banner = document.getElementById("script-banner");
  banner.hidden = !script;
  banner.textContent = script ? `The script ${script} runs: the page changes nothing until it ends.` : "";
  document.body.classList.toggle("script-runs", Boolean(script));
  for (const control of document.querySelectorAll(kChangingControls)) control.disabled = Boolean(script);
}

function showState(state) {
  tovarin.state = state;
  showScript(state.script);
  const text = (id, value) => (document.getElementById(id).textContent = value);
  text("card-state", state.card ? state.card : "no card");
  if (!state.booted) {
    for (const id of ["call-state", "power-state", "screen-state", "time-state"]) text(id, "off");
    return;
  }
  text("call-state", state.call + (state.missed ? " (missed call)" : ""));
  text("power-state", (state.ac ? "AC" : "battery") + ", " + state.power);
  text("screen-state", state.orientation);
  text("time-state", state.time);
}

// The Registry view: one key at a time, its subkeys (a click opens one) and its values (a click
// fills the form). Set and Delete send `reg set` and `reg delete`, so the services hear of the
// change as they do of the console's; the view reads the key again when the device says it
// changed.
const regRoot = document.getElementById("reg-root");
const regKey = document.getElementById("reg-key");
let registryOpen = false;

let keyShown = { root: "", key: "" };

// Device names compare without regard to case, and a folder's trailing backslash says nothing.
function sameName(a, b) {
  const plain = (name) => name.replace(/\\+$/, "").toLowerCase();
  return plain(a) === plain(b);
}

// Reads a view again: at once, or once more after a reading under way, whatever the number of
// changes that came meanwhile.
const reading = new Map();
async function again(read) {
  const state = reading.get(read) || { busy: false, more: false };
  reading.set(read, state);
  if (state.busy) {
    state.more = true;
    return;
  }
  state.busy = true;
  do {
    state.more = false;
    await read();
  } while (state.more);
  state.busy = false;
}

async function openKey() {
  registryOpen = true;
  keyShown = { root: regRoot.value, key: regKey.value };
  const keys = document.getElementById("reg-keys");
  const values = document.getElementById("reg-values");
  let answer;
  try {
    const reply = await fetch("/api/registry", {
      method: "POST",
      headers: { "Content-Type": "application/json", "X-Tovarin-Token": token },
      body: JSON.stringify({ root: regRoot.value, key: regKey.value }),
    });
    answer = await reply.json();
  } catch (error) {
    answer = { error: error.message };
  }
  tovarin.registry = answer;
  keys.replaceChildren();
  values.replaceChildren();
  if (answer.error) {
    const line = document.createElement("li");
    line.id = "reg-error";
    line.textContent = answer.error;
    keys.appendChild(line);
    return;
  }
  for (const name of answer.keys) {
    const item = document.createElement("li");
    item.textContent = name;
    item.addEventListener("click", () => {
      regKey.value = regKey.value.replace(/\\+$/, "") + "\\" + name;
      openKey();
    });
    keys.appendChild(item);
  }
  for (const value of answer.values) {
    const row = values.insertRow();
    for (const text of [value.name || "(default)", value.type, String(value.data)]) {
      row.insertCell().textContent = text;
    }
    row.addEventListener("click", () => {
      document.getElementById("reg-name").value = value.name;
      document.getElementById("reg-data").value = String(value.data);
      if (value.type === "dword" || value.type === "sz") {
        document.getElementById("reg-type").value = value.type;
      }
    });
  }
}

function registryCommand(action) {
  const name = document.getElementById("reg-name").value;
  const type = document.getElementById("reg-type").value;
  const data = document.getElementById("reg-data").value;
  if ([regKey.value, name, data].some((text) => text.includes('"'))) {
    addLine("registry names and texts hold no quotes on the console", "local");
    return null;
  }
  const target = `${regRoot.value} "${regKey.value}" "${name}"`;
  if (action === "delete") return `reg delete ${target}`;
  if (type === "sz") return `reg set ${target} sz "${data}"`;
  if (!/^(0x[0-9a-fA-F]+|[0-9]+)$/.test(data.trim())) {
    addLine("a dword is a number (decimal or 0x hexadecimal)", "local");
    return null;
  }
  return `reg set ${target} dword ${data.trim()}`;
}

for (const button of document.querySelectorAll("[data-registry]")) {
  button.addEventListener("click", () => {
    const action = button.dataset.registry;
    if (action === "up") {
      regKey.value = regKey.value.replace(/\\[^\\]*$/, "");
      openKey();
    } else if (action === "open") {
      openKey();
    } else {
      const line = registryCommand(action);
      if (!line) return;
      send("/api/command", { line });
      // The view shows the key the value is set in, and follows it from then on.
      if (!registryOpen || keyShown.root !== regRoot.value || !sameName(keyShown.key, regKey.value)) {
        openKey();
      }
    }
  });
}
regKey.addEventListener("keydown", (event) => {
  if (event.key === "Enter") openKey();
});

// The Files view: one device folder at a time, as the device's programs see it. A folder opens on
// a click; a file is downloaded (its bytes read by the device's own file calls) or deleted with
// `file delete`, whose rules and errors are the console's. The view reads the folder again when
// the device says it changed.
const filesPath = document.getElementById("files-path");
let filesOpen = false;

function askDevice(path, body) {
  return fetch(path, {
    method: "POST",
    headers: { "Content-Type": "application/json", "X-Tovarin-Token": token },
    body: JSON.stringify(body),
  })
    .then((reply) => reply.json())
    .catch((error) => ({ error: error.message }));
}

function childPath(name) {
  return filesPath.value.replace(/\\+$/, "") + "\\" + name;
}

let filesShown = "";

async function openFolder() {
  filesOpen = true;
  filesShown = filesPath.value;
  const answer = await askDevice("/api/files", { path: filesPath.value });
  tovarin.files = answer;
  const list = document.getElementById("files-list");
  list.replaceChildren();
  if (answer.error) {
    list.insertRow().insertCell().textContent = answer.error;
    return;
  }
  for (const entry of answer.entries) {
    const row = list.insertRow();
    const name = row.insertCell();
    name.textContent = entry.name;
    row.insertCell().textContent = entry.folder ? "" : String(entry.size);
    row.insertCell().textContent = entry.time;
    const actions = row.insertCell();
    if (entry.folder) {
      name.className = "folder";
      name.addEventListener("click", () => {
        filesPath.value = childPath(entry.name);
        openFolder();
      });
      continue;
    }
    const download = document.createElement("button");
    download.textContent = "\u2B07";
    download.title = "Download";
    download.dataset.download = entry.name;
    download.addEventListener("click", () => downloadFile(childPath(entry.name)));
    const remove = document.createElement("button");
    remove.textContent = "\u2715";
    remove.title = "Delete (file delete)";
    remove.dataset.delete = entry.name;
    remove.disabled = document.body.classList.contains("script-runs");
    remove.addEventListener("click", () => {
      const path = childPath(entry.name);
      if (path.includes('"')) return addLine("a path with a quote cannot be named", "local");
      send("/api/command", { line: `file delete "${path}"` });
    });
    actions.append(download, remove);
    if (/\.amr$/i.test(entry.name)) {
      const play = document.createElement("button");
      play.textContent = "\u25B6";
      play.title = "Play (decoded by the emulator)";
      play.dataset.play = entry.name;
      play.addEventListener("click", () => playFile(childPath(entry.name)));
      actions.append(play);
    }
  }
}

// An AMR file played in the browser: the emulator decodes it to WAVE with the platform's decoder.
async function playFile(path) {
  const answer = await askDevice("/api/file", { path, as: "wav" });
  if (answer.error) return addLine(answer.error, "local");
  const bytes = Uint8Array.from(atob(answer.base64), (c) => c.charCodeAt(0));
  const player = document.getElementById("player");
  if (player.src) URL.revokeObjectURL(player.src);
  player.src = URL.createObjectURL(new Blob([bytes], { type: "audio/wav" }));
  player.hidden = false;
  player.play().catch(() => {});
}

async function downloadFile(path) {
  const answer = await askDevice("/api/file", { path });
  if (answer.error) return addLine(answer.error, "local");
  const bytes = Uint8Array.from(atob(answer.base64), (c) => c.charCodeAt(0));
  const link = document.createElement("a");
  link.href = URL.createObjectURL(new Blob([bytes]));
  link.download = answer.name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 10_000);
}

for (const button of document.querySelectorAll("[data-files]")) {
  button.addEventListener("click", () => {
    if (button.dataset.files === "up") {
      filesPath.value = filesPath.value.replace(/\\[^\\]*$/, "") || "\\";
    }
    openFolder();
  });
}
filesPath.addEventListener("keydown", (event) => {
  if (event.key === "Enter") openFolder();
});

// The test recorder: the emulator keeps the recording (it sees the page's actions and the
// terminal's lines as they are done) and sends its state as "recorder" events. "Add check" makes
// the next tap on the screen ask for the checks of the control there instead of touching it.
const recordButton = document.getElementById("rec-record");
const checkButton = document.getElementById("rec-check");
const offers = document.getElementById("rec-offers");
let checking = false;

function askRecorder(body) {
  return askDevice("/api/recorder", body).then((answer) => {
    if (answer.error) addLine(answer.error, "local");
    return answer;
  });
}

function showRecorder(state) {
  tovarin.recorder = state;
  recordButton.textContent = state.recording ? "Stop" : "Record";
  checkButton.disabled = !state.recording;
  document.getElementById("rec-state").textContent = state.recording
    ? `recording, ${state.count} line${state.count === 1 ? "" : "s"}`
    : state.count ? `stopped, ${state.count} lines` : "off";
  const list = document.getElementById("rec-lines");
  list.replaceChildren(...state.recent.map((line) => {
    const item = document.createElement("li");
    item.textContent = line;
    return item;
  }));
  list.scrollTop = list.scrollHeight;
}

async function offerChecks(point) {
  checking = false;
  checkButton.classList.remove("armed");
  const answer = await askRecorder({ action: "check", ...point });
  if (answer.error) return;
  const list = document.getElementById("rec-offer-list");
  list.replaceChildren(...answer.offers.map((line) => {
    const label = document.createElement("label");
    const box = document.createElement("input");
    box.type = "checkbox";
    box.value = line;
    label.append(box, " " + line);
    return label;
  }));
  offers.hidden = false;
}

recordButton.addEventListener("click", () =>
  askRecorder({ action: tovarin.recorder?.recording ? "stop" : "record" }));
checkButton.addEventListener("click", () => {
  checking = !checking;
  checkButton.classList.toggle("armed", checking);
});
document.getElementById("rec-add").addEventListener("click", async () => {
  const lines = [...offers.querySelectorAll("input:checked")].map((box) => box.value);
  offers.hidden = true;
  if (lines.length) await askRecorder({ action: "add", lines });
});
document.getElementById("rec-cancel").addEventListener("click", () => (offers.hidden = true));
document.getElementById("rec-save").addEventListener("click", async () => {
  const answer = await askRecorder({ action: "save" });
  if (answer.error) return;
  const link = document.createElement("a");
  link.href = URL.createObjectURL(new Blob([answer.text], { type: "text/plain" }));
  link.download = answer.name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 10_000);
});

let asking = false;
async function askState(always) {
  if ((asking && !always) || !token) return;
  asking = true;
  try {
    await fetch("/api/state", {
      method: "POST",
      headers: { "Content-Type": "application/json", "X-Tovarin-Token": token },
      body: JSON.stringify({ always: always === true }),
    });
  } catch {
    // The stream's status line says that the emulator is gone.
  }
  asking = false;
}
setInterval(() => askState(false), 1000);

const typed = [];
let typedAt = 0;
document.getElementById("commands").addEventListener("submit", (event) => {
  event.preventDefault();
  const line = commandInput.value.trim();
  if (!line) return;
  typed.push(line);
  typedAt = typed.length;
  commandInput.value = "";
  send("/api/command", { line });
});
commandInput.addEventListener("keydown", (event) => {
  if (event.key !== "ArrowUp" && event.key !== "ArrowDown") return;
  event.preventDefault();
  typedAt = Math.max(0, Math.min(typed.length, typedAt + (event.key === "ArrowUp" ? -1 : 1)));
  commandInput.value = typed[typedAt] || "";
});

screen.addEventListener("load", () => {
  tovarin.frames.push({ serial: tovarin.serial, shownAt: performance.now() });
  if (tovarin.frames.length > 100) tovarin.frames.shift();
});

function connect() {
  if (!token) {
    status.textContent = "This address has no token: open the one tovarin-emu printed.";
    status.classList.add("down");
    return;
  }
  const events = new EventSource("/events?token=" + encodeURIComponent(token));
  events.addEventListener("open", () => {
    status.textContent = "connected to the phone";
    status.classList.remove("down");
  });
  events.addEventListener("error", () => {
    status.textContent = "not connected: is tovarin-emu running? (trying again)";
    status.classList.add("down");
  });
  events.addEventListener("line", (event) => addLine(JSON.parse(event.data).text));
  events.addEventListener("frame", (event) => {
    const frame = JSON.parse(event.data);
    tovarin.serial = frame.serial;
    screen.src = "data:image/png;base64," + frame.png;
  });
  events.addEventListener("outcome", (event) => {
    const outcome = JSON.parse(event.data);
    tovarin.outcomes.set(outcome.id, outcome);
    askState(false);
  });
  // The views follow the device: the emulator watches what they show with the device's change
  // notifications and says when it changed, whoever changed it.
  events.addEventListener("files-changed", (event) => {
    if (filesOpen && sameName(JSON.parse(event.data).path, filesShown)) again(openFolder);
  });
  events.addEventListener("registry-changed", (event) => {
    const { root, key } = JSON.parse(event.data);
    if (registryOpen && root === keyShown.root && sameName(key, keyShown.key)) again(openKey);
  });
  events.addEventListener("state", (event) => showState(JSON.parse(event.data)));
  events.addEventListener("recorder", (event) => showRecorder(JSON.parse(event.data)));
  events.addEventListener("open", () => {
    askState(true);
    askRecorder({ action: "status" });
  });
}

connect();
