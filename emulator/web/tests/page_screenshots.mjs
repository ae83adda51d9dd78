// The web page's screenshots for docs/screenshots (made by tools/screenshots, not a test): the
// page with a call ringing, the recorder with a recording and the checks it offers for a control,
// and the Files and Registry views following the device. Headless chromium on a fresh phone in
// simulated time.
//
//   TOVARIN_EMU=.../tovarin-emu TOVARIN_WEB_MODULES=.../node_modules \
//   node emulator/web/tests/page_screenshots.mjs OUTPUT_DIR
import { spawn } from "node:child_process";
import { mkdtempSync, rmSync } from "node:fs";
import { createRequire } from "node:module";
import os from "node:os";
import path from "node:path";

const require = createRequire(path.join(process.env.TOVARIN_WEB_MODULES, "/"));
const { chromium } = require("playwright-core");
const output = path.resolve(process.argv[2] || "docs/screenshots");

const device = mkdtempSync(path.join(os.tmpdir(), "tovarin-shots-"));
const emulator = spawn(
  process.env.TOVARIN_EMU,
  ["--web", "0", "--time", "simulated", "--device", path.join(device, "phone")],
  { stdio: ["pipe", "pipe", "inherit"] },
);
emulator.stdout.setEncoding("utf8");
let printed = "";
emulator.stdout.on("data", (chunk) => (printed += chunk));
const waitFor = async (pattern) => {
  for (let tries = 0; !pattern.test(printed); ++tries) {
    if (tries > 1200) throw new Error(`tovarin-emu never printed ${pattern}`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
};
await waitFor(/the phone is up/);
const address = printed.match(/the web page is at (\S+)/)[1];

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  args: process.getuid() === 0 ? ["--no-sandbox"] : [],
});
const page = await browser.newPage({ viewport: { width: 1280, height: 960 } });
await page.goto(address);
await page.waitForFunction(() => window.tovarin.frames.length > 0);

// Types a console line in the page's pane and waits for its outcome.
async function command(line) {
  await page.fill("#command", line);
  await page.press("#command", "Enter");
  await page.waitForFunction((line) => {
    const sent = window.tovarin.sent.findLast((s) => s.body.line === line);
    return sent && window.tovarin.outcomes.has(sent.id);
  }, line);
}
async function tap(x, y) {
  const box = await page.locator("#screen").boundingBox();
  const scale = box.width / 480;
  await page.mouse.click(box.x + (x + 0.5) * scale, box.y + (y + 0.5) * scale);
}
async function settle() {
  await command("wait 100");
  await page.waitForTimeout(400); // the last frame reaches the image
}
const shot = (name) => page.screenshot({ path: path.join(output, name) });

// The page with a call ringing.
await page.fill("#number", "+7 (916) 555-01-23");
await page.click('[data-panel="incoming"]');
await page.waitForFunction(() => window.tovarin.state?.call === "ringing");
await settle();
await shot("web-page.png");
await command("call miss");

// The recorder: the settings sheet opened and its answering machine switched on, and the checks
// offered for the switch.
await page.click("#rec-record");
await page.waitForFunction(() => window.tovarin.recorder?.recording);
await command('applet open "Marrowfen.dll" 0');
await tap(177, 126);
await page.waitForFunction(() => window.tovarin.recorder.count === 2);
await page.click("#rec-check");
await tap(177, 126);
await page.waitForSelector("#rec-offers:not([hidden])");
await page.check("#rec-offer-list label:nth-child(3) input");
await settle();
await shot("web-recorder.png");
await page.click("#rec-cancel");

// The views: a call recorded into \My Documents shows in the Files view as the recorder writes
// it, and the service's "Handle" in the Registry view, with nothing done on the page.
await page.click("#rec-record");
await command("ok");
await page.fill("#files-path", "\\My Documents");
await page.click('[data-files="open"]');
await page.fill("#reg-key", "\\Software\\VarnholtCM\\Callisk");
for (const line of [
  'reg set HKLM "\\Software\\VarnholtCM\\Callisk" "Activate" dword 1',
  'reg set HKLM "\\Software\\VarnholtCM\\Callisk" "SaveDir" sz "\\My Documents"',
  'event set "Phone Record Service Event"',
]) {
  await command(line);
}
await page.click('[data-registry="open"]');
emulator.stdin.write('call incoming "5550001"\ncall answer\nwait 1500\nkey record\nwait 4000\n');
await page.waitForFunction(() => window.tovarin.files?.entries?.some((e) => e.name.endsWith(".amr")));
await page.waitForFunction(() => window.tovarin.registry?.values?.some((v) => v.name === "Handle"));
await page.evaluate(() => (document.getElementById("panel").scrollTop = 1e6));
await settle();
await shot("web-views.png");

await browser.close();
emulator.stdin.end();
await new Promise((resolve) => emulator.on("exit", resolve));
rmSync(device, { recursive: true, force: true });
