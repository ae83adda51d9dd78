// The web page in a real browser (headless chromium through playwright-core): the console pane
// rings the phone, taps on the screen image work the test dialog's controls, typed text reaches
// the focused edit, and requests from elsewhere are refused without changing anything; the panel,
// the Files and Registry views (which follow the device), the recorder (whose saved script runs
// again with --script) and a page that changes nothing while the console runs a script. The
// phone runs in simulated time, so each touch has been taken before the next request is carried
// out (the script's test alone runs in real time, so that the script lasts while the page tries).
//
//   TOVARIN_EMU=.../tovarin-emu TOVARIN_TEST_DIALOG=.../TestDialog.exe \
//   TOVARIN_WEB_MODULES=.../node_modules node --test web_page.test.mjs
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { spawn } from "node:child_process";
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import http from "node:http";
import os from "node:os";
import path from "node:path";

const require = createRequire(path.join(process.env.TOVARIN_WEB_MODULES, "/"));
const { chromium } = require("playwright-core");

// The test dialog is full-screen under the taskbar: its client area starts 52 pixels down.
const kDialogTop = 52;
const kCheckBox = { x: 12 + 120, y: kDialogTop + 56 + 15 }; // 1003 "Включено"
const kCombo = { x: 168 + 138, y: kDialogTop + 194 + 15 }; // 1007, closed
// Its list drops under the field (36 pixels tall), in rows of 32: the middle of the second row.
const kComboSecondItem = { x: kCombo.x, y: kDialogTop + 194 + 36 + 32 + 16 };
const kButton = { x: 12 + 105, y: kDialogTop + 244 + 22 }; // 1008 "Подробнее..."
const kEdit = { x: 144 + 150, y: kDialogTop + 6 + 19 }; // 1002

// The answering-machine page of the settings sheet (full-screen under the taskbar; its page
// starts 46 pixels into the sheet): the switch 1001, and the delay list 6050, whose list drops
// under it in rows of 32 ("10 сек", "15 сек", "20 сек").
const kPageTop = kDialogTop + 46;
const kAnswering = { x: 18 + 159, y: kPageTop + 13 + 15 };
const kDelay = { x: 192 + 105, y: kPageTop + 144 + 18 };
const kDelay15 = { x: kDelay.x, y: kPageTop + 144 + 36 + 32 + 16 };
// The taskbar's caption button, OK for the sheet.
const kOkButton = { x: 452, y: 26 };

let emulator;
let exited;
let device;
let address;
let browser;
let page;

function waitForLine(stream, pattern, ms) {
  return new Promise((resolve, reject) => {
    let text = "";
    const timer = setTimeout(() => reject(new Error(`no ${pattern} in:\n${text}`)), ms);
    stream.on("data", function seen(chunk) {
      text += chunk;
      const match = text.match(pattern);
      if (match) {
        clearTimeout(timer);
        stream.off("data", seen);
        resolve(match);
      }
    });
  });
}

// Starts tovarin-emu with its page on the image in `folder`; resolves once the phone is up.
async function startEmulator(folder, options) {
  const child = spawn(
    process.env.TOVARIN_EMU,
    ["--web", "0", "--device", path.join(folder, "phone"), ...options],
    { stdio: ["pipe", "pipe", "inherit"] },
  );
  const exit = new Promise((resolve) => child.on("exit", (code, signal) => resolve({ code, signal })));
  child.stdout.setEncoding("utf8");
  const up = waitForLine(child.stdout, /the phone is up/, 60_000);
  const url = (await waitForLine(child.stdout, /the web page is at (\S+)/, 60_000))[1];
  await up;
  return { child, exit, url };
}

before(async () => {
  device = mkdtempSync(path.join(os.tmpdir(), "tovarin-web-"));
  ({ child: emulator, exit: exited, url: address } = await startEmulator(device, [
    "--time", "simulated", "--install", process.env.TOVARIN_TEST_DIALOG,
  ]));
  browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    args: process.getuid() === 0 ? ["--no-sandbox"] : [],
  });
  page = await browser.newPage({ viewport: { width: 1100, height: 900 } });
  await page.goto(address);
  await page.waitForFunction(() => window.tovarin && window.tovarin.frames.length > 0, null, {
    timeout: 20_000,
  });
});

after(async () => {
  await browser?.close();
  // The console's input ends: the emulator, its server and its threads end with it.
  emulator.stdin.end();
  let timer;
  const hung = new Promise((r) => (timer = setTimeout(() => r("hung"), 30_000)));
  const end = await Promise.race([exited, hung]);
  clearTimeout(timer);
  rmSync(device, { recursive: true, force: true });
  assert.deepEqual(end, { code: 0, signal: null }, "tovarin-emu ends cleanly with its console");
});

// Types a command into the console pane; resolves with its outcome.
async function command(line) {
  await page.fill("#command", line);
  await page.press("#command", "Enter");
  const handle = await page.waitForFunction(
    (line) => {
      const refused = window.tovarin.refused.findLast((s) => s.body.line === line);
      if (refused) return { ok: false, reason: refused.reason, found: [] };
      const sent = window.tovarin.sent.findLast((s) => s.body.line === line);
      return sent && window.tovarin.outcomes.get(sent.id);
    },
    line,
    { timeout: 20_000 },
  );
  return handle.jsonValue();
}

async function waitForLog(text) {
  await page.waitForFunction((text) => document.getElementById("log").textContent.includes(text),
    text, { timeout: 20_000 });
}

async function expectHolds(line) {
  const outcome = await command(line);
  assert.ok(outcome.ok, `${line}: ${outcome.reason} ${outcome.found.join(" ")}`);
}

// A tap on the screen image at a point of the phone's screen; resolves when the device has
// taken the lift.
async function tap(point) {
  const box = await page.locator("#screen").boundingBox();
  const scale = box.width / 480;
  const before = await page.evaluate(() => window.tovarin.sent.length);
  await page.mouse.click(box.x + (point.x + 0.5) * scale, box.y + (point.y + 0.5) * scale);
  await page.waitForFunction(
    (n) => {
      const lift = window.tovarin.sent.slice(n).find((s) => s.body.action === "up");
      return lift && window.tovarin.outcomes.has(lift.id);
    },
    before,
    { timeout: 20_000 },
  );
}

// Presses at one point of the screen image, drags to another in steps and lifts there.
async function drag(from, to) {
  const box = await page.locator("#screen").boundingBox();
  const scale = box.width / 480;
  const before = await page.evaluate(() => window.tovarin.sent.length);
  await page.mouse.move(box.x + (from.x + 0.5) * scale, box.y + (from.y + 0.5) * scale);
  await page.mouse.down();
  await page.mouse.move(box.x + (to.x + 0.5) * scale, box.y + (to.y + 0.5) * scale, { steps: 8 });
  await page.mouse.up();
  await page.waitForFunction(
    (n) => {
      const lift = window.tovarin.sent.slice(n).find((s) => s.body.action === "up");
      return lift && window.tovarin.outcomes.has(lift.id);
    },
    before,
    { timeout: 20_000 },
  );
}

// Waits until the page has shown a frame newer than `serial`.
async function nextFrame(serial) {
  await page.waitForFunction(
    (serial) => window.tovarin.frames.some((f) => f.serial > serial),
    serial,
    { timeout: 20_000 },
  );
}

test("a call rung from the console pane shows the call dialog on the screen", async () => {
  const serial = await page.evaluate(() => window.tovarin.serial);
  await expectHolds('call incoming "+79161234567"');
  await waitForLog("phone: call from +79161234567 rings");
  await expectHolds('expect window "Dialog" "Телефон"');
  await nextFrame(serial); // the screen with the call dialog reaches the page

  // The talk key on the page answers it, as on the phone.
  await page.click('[data-key="talk"]');
  await waitForLog("phone: talk key answers the call");
  await expectHolds("wait 300");
  await expectHolds("call end");
  await expectHolds('expect no window "Dialog" "Телефон"');
});

test("taps on the screen work the test dialog's controls", async () => {
  await expectHolds('program start "TestDialog.exe"');
  await expectHolds('expect foreground "Диалог"');
  await expectHolds("expect control 1003 unchecked");
  await tap(kCheckBox);
  await expectHolds("expect control 1003 checked");

  // A drag that leaves the check box before the lift does not click it; one that stays on it does.
  await drag(kCheckBox, { x: kCheckBox.x, y: kCheckBox.y + 150 });
  await expectHolds("expect control 1003 checked");
  await drag({ x: 20, y: kCheckBox.y }, { x: 240, y: kCheckBox.y + 10 });
  await expectHolds("expect control 1003 unchecked");

  await tap(kCombo);
  await expectHolds("expect control 1007 selected \"Основная Память\"");
  await tap(kComboSecondItem);
  await expectHolds('expect control 1007 selected "Карта Памяти"');

  await tap(kButton);
  await expectHolds('expect foreground "Подробнее"');
  await page.click('[data-key="action"]');
  await expectHolds('expect foreground "Диалог"');
});

test("text typed on the page reaches the focused edit", async () => {
  await tap(kEdit);
  await page.fill("#text", "Привет, мир");
  await page.click("#typing button");
  await page.waitForFunction(() =>
    window.tovarin.sent.some((s) => s.path === "/api/type" && window.tovarin.outcomes.has(s.id)),
  );
  await expectHolds('expect control 1002 text "Привет, мир"');
});

function request(method, target, headers, body) {
  const url = new URL(target, address);
  return new Promise((resolve, reject) => {
    const req = http.request(
      { host: "127.0.0.1", port: url.port, path: url.pathname + url.search, method, headers },
      (res) => {
        res.resume();
        res.on("end", () => resolve(res.statusCode));
      },
    );
    req.on("error", reject);
    req.end(body);
  });
}

test("requests from another origin, without the token or for another host are refused", async () => {
  const { port } = new URL(address);
  const token = new URL(address).searchParams.get("token");
  const ring = JSON.stringify({ line: 'call incoming "+70000000001"' });
  const json = { "Content-Type": "application/json" };
  const own = `127.0.0.1:${port}`;
  assert.equal(await request("GET", "/", { Host: `evil.example:${port}` }), 421);
  assert.equal(await request("GET", `/events?token=${token}`, { Host: `evil.example:${port}` }), 421);
  assert.equal(
    await request("POST", "/api/command", { ...json, Host: own, Origin: `http://${own}` }, ring),
    403,
  );
  assert.equal(await request("GET", "/events?token=0000", { Host: own }), 403);
  // The Registry view's reads go through the same checks as commands.
  assert.equal(
    await request("POST", "/api/registry", { ...json, Host: own, Origin: `http://${own}` },
      JSON.stringify({ root: "HKLM", key: "" })),
    403,
  );
  assert.equal(
    await request("POST", "/api/command", { ...json, Host: `rebound.example:${port}`,
      Origin: `http://rebound.example:${port}`, "X-Tovarin-Token": token }, ring),
    421,
  );
  assert.equal(
    await request("POST", "/api/command", { ...json, Host: own, Origin: `http://${own}`,
      "X-Tovarin-Token": token }, "x".repeat(40_000)),
    413,
  );

  // A page of another origin in the same browser, which even knows the token, cannot post.
  const other = await browser.newPage();
  await other.goto(`http://localhost:${port}/page.css`);
  const status = await other.evaluate(
    async ({ target, token, ring }) => {
      const answer = await fetch(target, {
        method: "POST",
        headers: { "Content-Type": "application/json", "X-Tovarin-Token": token },
        body: ring,
      }).catch((error) => ({ status: "blocked: " + error.message }));
      return answer.status;
    },
    { target: `http://127.0.0.1:${port}/api/command`, token, ring },
  );
  await other.close();
  assert.notEqual(status, 202);

  await expectHolds("wait 200");
  const log = await page.locator("#log").innerText();
  assert.ok(!log.includes("+70000000001"), "no refused request rang the phone");
});

// Clicks a control of the panel and resolves with the outcome of the command it sent, which must
// be `line` (the pane echoes it as "web> LINE").
async function panel(action, line) {
  await page.click(`[data-panel="${action}"]`);
  const outcome = await page.waitForFunction(
    (line) => {
      const sent = window.tovarin.sent.findLast((s) => s.body.line === line);
      return sent && window.tovarin.outcomes.get(sent.id);
    },
    line,
    { timeout: 20_000 },
  );
  await waitForLog(`web> ${line}`);
  const result = await outcome.jsonValue();
  assert.ok(result.ok, `${line}: ${result.reason}`);
}

async function panelShows(id, text) {
  await page.waitForFunction(
    ({ id, text }) => document.getElementById(id).textContent === text,
    { id, text },
    { timeout: 20_000 },
  );
}

test("the panel rings the phone, answers and ends the call, and shows its state", async () => {
  await panelShows("call-state", "idle");
  await page.fill("#number", "+7 (916) 555-01-23");
  await panel("incoming", 'call incoming "+7 (916) 555-01-23"');
  await panelShows("call-state", "ringing");
  await expectHolds('expect window "Dialog" "Телефон"');
  await panel("answer", "call answer");
  await expectHolds("wait 300");
  await panelShows("call-state", "connected");
  await page.fill("#number", "5550002");
  await panel("second", 'call second "5550002"');
  await panelShows("call-state", "connected, a call waiting");
  // The first call ends; the waiting one rings, and its caller gives up.
  await panel("end", "call end");
  await expectHolds("wait 1000");
  await panelShows("call-state", "ringing");
  await panel("miss", "call miss");
  await expectHolds("wait 1000");
  await panelShows("call-state", "idle (missed call)");
});

test("the panel inserts and removes a card, turns the screen, and works the power", async () => {
  await panelShows("card-state", "no card");
  await page.fill("#card-name", "Карта");
  await panel("card-insert", 'card insert "Карта"');
  await panelShows("card-state", "Карта");
  await expectHolds('expect file "\\Карта" exists');
  await panel("card-remove", "card remove");
  await panelShows("card-state", "no card");

  await panel("landscape", "rotate landscape");
  await panelShows("screen-state", "landscape");
  await page.waitForFunction(() => document.getElementById("screen").naturalWidth === 640);
  await panel("portrait", "rotate portrait");
  await panelShows("screen-state", "portrait");

  await panel("ac-on", "power ac on");
  await page.waitForFunction(() => window.tovarin.state && window.tovarin.state.ac === true);
  await panel("ac-off", "power ac off");
  await page.waitForFunction(() => window.tovarin.state && window.tovarin.state.ac === false);

  await page.fill("#time", "2026-03-08T09:30:00");
  await panel("time-set", 'time set "2026-03-08 09:30:00"');
  await page.waitForFunction(
    () => document.getElementById("time-state").textContent.startsWith("2026-03-08 09:30"));
});

test("the Registry view shows a key, and sets and deletes a value through the console", async () => {
  await page.selectOption("#reg-root", "HKLM");
  await page.fill("#reg-key", "\\System\\State");
  await page.click('[data-registry="open"]');
  await page.waitForFunction(() => window.tovarin.registry?.keys?.includes("Phone"));
  await page.click('#reg-keys li:text-is("Phone")');
  await page.waitForFunction(
    () => window.tovarin.registry?.values?.some((v) => v.name === "Status" && v.type === "dword"));
  assert.equal(await page.inputValue("#reg-key"), "\\System\\State\\Phone");

  await page.selectOption("#reg-root", "HKCU");
  await page.fill("#reg-key", "\\Tovarin\\Web");
  await page.fill("#reg-name", "Answer");
  await page.selectOption("#reg-type", "dword");
  await page.fill("#reg-data", "0x2A");
  await page.click('[data-registry="set"]');
  await waitForLog('web> reg set HKCU "\\Tovarin\\Web" "Answer" dword 0x2A');
  await expectHolds('expect reg HKCU "\\Tovarin\\Web" "Answer" dword 42');
  await page.waitForFunction(
    () => window.tovarin.registry?.values?.some((v) => v.name === "Answer" && v.data === 42));
  assert.match(await page.locator("#reg-values").innerText(), /Answer\s+dword\s+42/);

  await page.click('[data-registry="delete"]');
  await waitForLog('web> reg delete HKCU "\\Tovarin\\Web" "Answer"');
  await expectHolds('expect reg HKCU "\\Tovarin\\Web" "Answer" missing');
  await page.waitForFunction(
    () => window.tovarin.registry?.values && !window.tovarin.registry.values.some((v) => v.name === "Answer"));
});

test("the Files view lists a folder, downloads a file and deletes it", async () => {
  // The terminal writes the file (content lines are the terminal's); its line may come after the
  // page's next command, so the page waits until the file is there.
  emulator.stdin.write('file write "\\My Documents\\note.txt" <<END\nПривет\nEND\n');
  for (let tries = 0; !(await command('expect file "\\My Documents\\note.txt" exists')).ok; ++tries) {
    assert.ok(tries < 50, "the terminal's file write did not happen");
  }
  await page.fill("#files-path", "\\My Documents");
  await page.click('[data-files="open"]');
  await page.waitForFunction(() =>
    window.tovarin.files?.entries?.some((e) => e.name === "note.txt" && e.size === 13 && !e.folder));

  const [download] = await Promise.all([
    page.waitForEvent("download"),
    page.click('[data-download="note.txt"]'),
  ]);
  assert.equal(download.suggestedFilename(), "note.txt");
  assert.equal(readFileSync(await download.path(), "utf8"), "Привет\n");

  await page.click('[data-delete="note.txt"]');
  await waitForLog('web> file delete "\\My Documents\\note.txt"');
  await expectHolds('expect file "\\My Documents\\note.txt" missing');
  await page.waitForFunction(() =>
    window.tovarin.files?.entries && !window.tovarin.files.entries.some((e) => e.name === "note.txt"));

  // An AMR file plays in the browser, decoded to WAVE by the emulator: the greeting is seconds long.
  await page.fill("#files-path", "\\Windows");
  await page.click('[data-files="open"]');
  await page.click('[data-play="greeting.amr"]');
  const seconds = await page.waitForFunction(() => {
    const player = document.getElementById("player");
    return player.src && !player.error && player.duration > 0 && player.duration;
  }, null, { timeout: 20_000 });
  assert.ok((await seconds.jsonValue()) > 1, "the greeting decodes to more than a second");

  // The hives are the emulator's, not the device's: the root shows no registry folder.
  await page.fill("#files-path", "\\");
  await page.click('[data-files="open"]');
  await page.waitForFunction(() => window.tovarin.files?.entries?.some((e) => e.name === "Windows"));
  const names = await page.evaluate(() => window.tovarin.files.entries.map((e) => e.name));
  assert.ok(!names.includes("registry"), `the root shows ${names.join(", ")}`);
});

test("the page's console leaves the computer's files alone; its button downloads the screen", async () => {
  const shot = path.join(device, "from-the-page.png");
  for (const line of [`screenshot "${shot}"`, `speaker record "${shot}"`, `mic "${shot}"`]) {
    const outcome = await command(line);
    assert.equal(outcome.ok, false, line);
    assert.match(outcome.reason, /only commands that act on the phone/, line);
  }
  assert.ok(!existsSync(shot), "no command of the page wrote a file of the computer");

  const [download] = await Promise.all([page.waitForEvent("download"), page.click("#screenshot")]);
  assert.match(download.suggestedFilename(), /^phone-.*\.png$/);
  const png = readFileSync(await download.path());
  assert.deepEqual([...png.subarray(0, 8)], [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
  assert.equal(png.readUInt32BE(16), 480, "the screen's width");
});

test("the token leaves the address bar and the page, and a reload stays connected", async () => {
  const token = new URL(address).searchParams.get("token");
  assert.ok(!page.url().includes(token), `the address bar still shows ${page.url()}`);
  assert.ok(!(await page.locator("#log").innerText()).includes(token));
  await page.reload();
  await page.waitForFunction(
    () => document.getElementById("status").textContent === "connected to the phone",
    null, { timeout: 20_000 });
  assert.ok(!page.url().includes(token));
  await expectHolds("wait 100");
});

// Runs tovarin-emu to its end; resolves with its exit code and everything it printed.
function run(args) {
  return new Promise((resolve) => {
    const child = spawn(process.env.TOVARIN_EMU, args, { stdio: ["ignore", "pipe", "pipe"] });
    let output = "";
    child.stdout.on("data", (chunk) => (output += chunk));
    child.stderr.on("data", (chunk) => (output += chunk));
    child.on("exit", (code) => resolve({ code, output }));
  });
}

// "Add check", a tap on a control, and the offered checks that are `wanted` ticked and added;
// resolves with everything that was offered.
async function addCheck(point, wanted) {
  const count = await page.evaluate(() => window.tovarin.recorder.count);
  await page.click("#rec-check");
  const box = await page.locator("#screen").boundingBox();
  const scale = box.width / 480;
  await page.mouse.click(box.x + (point.x + 0.5) * scale, box.y + (point.y + 0.5) * scale);
  await page.waitForSelector("#rec-offers:not([hidden])");
  const offered = await page.$$eval("#rec-offer-list input", (boxes) => boxes.map((b) => b.value));
  for (const line of wanted) assert.ok(offered.includes(line), `${line} among ${offered.join("; ")}`);
  await page.evaluate((wanted) => {
    for (const box of document.querySelectorAll("#rec-offer-list input")) {
      box.checked = wanted.includes(box.value);
    }
  }, wanted);
  await page.click("#rec-add");
  await page.waitForFunction((n) => window.tovarin.recorder.count === n, count + wanted.length);
  return offered;
}

test("the recorder saves what is done on the page as a script that runs again", async () => {
  await page.click("#rec-record");
  await page.waitForFunction(() => window.tovarin.recorder?.recording === true);
  await expectHolds('applet open "Marrowfen.dll" 0');
  await tap(kAnswering);
  // The check taps nothing: the switch stays as the tap before it left it.
  const offered = await addCheck(kAnswering, ["expect control 1001 checked"]);
  assert.ok(!offered.includes("expect control 1001 unchecked"));
  assert.ok(offered.includes('expect control 1001 text "Использовать автоответчик"'));
  await tap(kDelay);
  await tap(kDelay15);
  await addCheck(kDelay, ['expect foreground "Настройки"', 'expect control 6050 selected "15 сек"']);
  await tap(kOkButton);
  await expectHolds("wait 200");
  await expectHolds('expect reg HKLM "\\Software\\VarnholtCM\\AnswerMachine" "ActiveTime" dword 1');
  await page.click("#rec-record");
  await page.waitForFunction(() => window.tovarin.recorder?.recording === false);

  const [download] = await Promise.all([page.waitForEvent("download"), page.click("#rec-save")]);
  assert.equal(download.suggestedFilename(), "recording.scn");
  const script = readFileSync(await download.path(), "utf8");
  const [setUp, done] = script.split("# What was done.\n");
  // The phone as the earlier tests left it: their clock, and the registry value they set last
  // deleted; the file the terminal wrote is gone again, so it is not written.
  assert.match(setUp, /^time set "2026-03-08 09:3\d:\d\d"$/m);
  assert.match(setUp, /^reg delete HKCU "\\Tovarin\\Web" "Answer"$/m);
  assert.ok(!setUp.includes("note.txt"), setUp);
  assert.match(setUp, /\nboot\n$/);
  assert.deepEqual(done.trimEnd().split("\n"), [
    'applet open "Marrowfen.dll" 0',
    "click 1001",
    "expect control 1001 checked",
    'choose 6050 "15 сек"',
    'expect foreground "Настройки"',
    'expect control 6050 selected "15 сек"',
    "ok",
    "wait 200",
    'expect reg HKLM "\\Software\\VarnholtCM\\AnswerMachine" "ActiveTime" dword 1',
  ]);

  // On a fresh image the script does it all again.
  const saved = path.join(device, "recording.scn");
  writeFileSync(saved, script);
  const fresh = await run(["--script", saved]);
  assert.equal(fresh.code, 0, fresh.output);

  // A phone whose answering machine is on already: the tap switches it off, and the script fails
  // at the check that says it is on.
  const other = path.join(device, "answering-on");
  const prepare = path.join(device, "answering-on.scn");
  writeFileSync(prepare, 'reg set HKLM "\\Software\\VarnholtCM\\AnswerMachine" "Enable" dword 1\nboot\n');
  assert.equal((await run(["--script", prepare, "--device", other])).code, 0);
  const changed = await run(["--script", saved, "--device", other]);
  assert.equal(changed.code, 1, changed.output);
  const line = script.split("\n").indexOf("expect control 1001 checked") + 1;
  assert.match(changed.output, new RegExp(`recording\\.scn:${line}: failed: expect control 1001 checked`));
});

test("the Files and Registry views follow what the device writes, with nothing done on the page", async () => {
  // The call recorder records into \My Documents; the terminal sets it up.
  const callisk = "\\Software\\VarnholtCM\\Callisk";
  emulator.stdin.write(
    `reg set HKLM "${callisk}" "Activate" dword 1\n` +
      `reg set HKLM "${callisk}" "SaveDir" sz "\\My Documents"\n` +
      `reg set HKLM "${callisk}" "FileName" sz "CK"\n` +
      'event set "Phone Record Service Event"\n',
  );
  await page.fill("#files-path", "\\My Documents");
  await page.click('[data-files="open"]');
  await page.selectOption("#reg-root", "HKLM");
  await page.fill("#reg-key", callisk);
  for (let tries = 0; ; ++tries) {
    await page.click('[data-registry="open"]');
    if (await page.waitForFunction(() => window.tovarin.registry?.values?.some((v) => v.name === "FileName"),
      null, { timeout: 1000 }).then(() => true, () => false)) break;
    assert.ok(tries < 20, "the terminal's reg set did not happen");
  }
  assert.ok(!(await page.evaluate(() => window.tovarin.registry.values.some((v) => v.name === "Handle"))));
  const sent = await page.evaluate(() => window.tovarin.sent.length);

  // A call recorded with the record key: the service writes the call dialog's "Handle", the
  // recorder its file. The terminal does it all; the page only listens.
  emulator.stdin.write(
    'call incoming "5550001"\ncall answer\nwait 200\nkey record\nwait 3000\nkey record\nwait 100\n' +
      "call end\nwait 500\n",
  );
  await page.waitForFunction(
    () => window.tovarin.registry?.values?.some((v) => v.name === "Handle" && v.data !== 0),
    null, { timeout: 20_000 });
  await page.waitForFunction(
    () => window.tovarin.files?.entries?.some((e) => /^CK.*\.amr$/.test(e.name)),
    null, { timeout: 20_000 });
  assert.match(await page.locator("#files-list").innerText(), /CK\d+\.amr/);
  assert.equal(await page.evaluate(() => window.tovarin.sent.length), sent, "the page sent nothing");
});

test("a registry value set from the page is heard by the service that watches it", async () => {
  await page.selectOption("#reg-root", "HKLM");
  await page.fill("#reg-key", "\\Software\\VarnholtCM\\My Setting");
  await page.fill("#reg-name", "KeyPad Lock");
  await page.selectOption("#reg-type", "dword");
  await expectHolds("mark");
  await page.fill("#reg-data", "1");
  await page.click('[data-registry="set"]');
  await waitForLog("HAL: keypad locked");
  await expectHolds('expect ioctl "HAL" 0x01013FFC 0');
  await expectHolds("mark");
  await page.fill("#reg-data", "0");
  await page.click('[data-registry="set"]');
  await waitForLog("HAL: keypad unlocked");
  await expectHolds('expect ioctl "HAL" 0x01013FFC 1');
});

test("while the console runs a script the page changes nothing, and says why", async () => {
  // In real time, so that the script's wait lasts while the page tries.
  const folder = mkdtempSync(path.join(os.tmpdir(), "tovarin-web-script-"));
  const real = await startEmulator(folder, ["--time", "real"]);
  const other = await browser.newPage();
  try {
    await other.goto(real.url);
    await other.waitForFunction(() => window.tovarin.state?.booted === true, null, { timeout: 20_000 });
    const script = path.join(folder, "slow.scn");
    // Real time: the checks below must be done while the script waits, even on a busy machine.
    writeFileSync(script, 'wait 20000\nexpect no foreground "Настройки"\n');
    const ended = waitForLine(real.child.stdout, /slow\.scn: 2 commands done, 1 expectations held/, 60_000);
    real.child.stdin.write(`run "${script}"\n`);
    await other.waitForFunction(() => window.tovarin.state?.script === "slow.scn", null, { timeout: 20_000 });
    assert.match(await other.locator("#script-banner").innerText(), /The script slow\.scn runs/);
    assert.ok(await other.isDisabled('[data-panel="ac-on"]'));
    assert.ok(await other.isDisabled('[data-registry="set"]'));
    assert.ok(await other.isDisabled("#command"));
    // What the page would send is refused with the reason, whatever sends it.
    const refused = await other.evaluate(async () => {
      const answer = await fetch("/api/command", {
        method: "POST",
        headers: { "Content-Type": "application/json",
          "X-Tovarin-Token": sessionStorage.getItem("tovarin-token") },
        body: JSON.stringify({ line: "power ac on" }),
      });
      return { status: answer.status, error: (await answer.json()).error };
    });
    assert.deepEqual(refused, {
      status: 409, error: "the script slow.scn runs: the page changes nothing until it ends" });

    await ended;
    await other.waitForFunction(() => window.tovarin.state?.script === null, null, { timeout: 20_000 });
    assert.ok(!(await other.isDisabled('[data-panel="ac-on"]')));
    await other.click('[data-panel="ac-on"]');
    await other.waitForFunction(() => window.tovarin.state?.ac === true, null, { timeout: 20_000 });
  } finally {
    await other.close();
    real.child.stdin.end();
    await real.exit;
    rmSync(folder, { recursive: true, force: true });
  }
});
