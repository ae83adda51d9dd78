// Figures of the web page, measured in headless chromium on a fresh phone (not a test: the
// numbers depend on the machine):
//   - how long a state change takes to reach the page: from the request that rings the phone (or
//     lets the call go) to the page showing the frame with the call dialog shown (or gone)
//     (goal: under 100 ms);
//   - how much of a core the emulator uses while the page is open and nothing happens, over
//     30 seconds of /proc/PID/stat (goal: under 1 %).
//
//   TOVARIN_EMU=$PWD/build/main/emulator/tovarin-emu \
//   TOVARIN_TEST_DIALOG=$PWD/build/main/emulator/tests/probes/TestDialog.exe \
//   TOVARIN_WEB_MODULES=$PWD/build/main/emulator/web-tests/node_modules \
//   node emulator/web/tests/figures.mjs              (the paths absolute)
import { spawn } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync } from "node:fs";
import { createRequire } from "node:module";
import os from "node:os";
import path from "node:path";

const require = createRequire(path.join(process.env.TOVARIN_WEB_MODULES, "/"));
const { chromium } = require("playwright-core");
const kChanges = 40;
const kIdleSeconds = Number(process.env.IDLE_SECONDS || 30);

const device = mkdtempSync(path.join(os.tmpdir(), "tovarin-figures-"));
const emulator = spawn(
  process.env.TOVARIN_EMU,
  ["--web", "0", "--device", path.join(device, "phone"), "--install", process.env.TOVARIN_TEST_DIALOG],
  { stdio: ["pipe", "pipe", "inherit"] },
);
emulator.stdout.setEncoding("utf8");
let output = "";
emulator.stdout.on("data", (chunk) => (output += chunk));
while (!/the phone is up/.test(output)) await new Promise((r) => setTimeout(r, 50));
const address = output.match(/the web page is at (\S+)/)[1];

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  args: process.getuid() === 0 ? ["--no-sandbox"] : [],
});
const page = await browser.newPage();
await page.goto(address);
await page.waitForFunction(() => window.tovarin.frames.length > 0);
await new Promise((r) => setTimeout(r, 1000));

// Each change rings the phone or lets the call go: the call dialog shows or hides. The time runs
// from the request until the page has shown a frame newer than the one before it.
const latencies = [];
for (let i = 0; i < kChanges; i++) {
  const line = i % 2 === 0 ? `call incoming "+7916000${String(i).padStart(4, "0")}"` : "call miss";
  latencies.push(
    await page.evaluate(async (line) => {
      const serial = window.tovarin.serial;
      const headers = {
        "Content-Type": "application/json",
        "X-Tovarin-Token": new URLSearchParams(location.search).get("token"),
      };
      const start = performance.now();
      await fetch("/api/command", { method: "POST", headers, body: JSON.stringify({ line }) });
      const shown = () => window.tovarin.frames.find((f) => f.serial > serial && f.shownAt > start);
      while (!shown()) await new Promise((r) => setTimeout(r, 1));
      const took = shown().shownAt - start;
      await new Promise((r) => setTimeout(r, 100));
      return took;
    }, line),
  );
}
latencies.sort((a, b) => a - b);
const at = (q) => latencies[Math.min(latencies.length - 1, Math.floor(q * latencies.length))];
console.log(
  `request to frame shown: median ${at(0.5).toFixed(1)} ms, 90th ${at(0.9).toFixed(1)} ms, ` +
    `max ${latencies[latencies.length - 1].toFixed(1)} ms over ${kChanges} changes`,
);

// Idle: the page stays open and connected; nothing is sent.
const ticks = () => {
  const fields = readFileSync(`/proc/${emulator.pid}/stat`, "utf8").split(") ")[1].split(" ");
  return Number(fields[11]) + Number(fields[12]); // utime + stime, in clock ticks
};
await new Promise((r) => setTimeout(r, 2000));
const before = ticks();
await new Promise((r) => setTimeout(r, kIdleSeconds * 1000));
const used = ticks() - before;
const hz = 100; // USER_HZ on Linux
console.log(
  `idle with the page open: ${((used / hz / kIdleSeconds) * 100).toFixed(2)} % of a core ` +
    `(${used} ticks in ${kIdleSeconds} s)`,
);

await browser.close();
emulator.stdin.end();
await new Promise((r) => emulator.on("exit", r));
rmSync(device, { recursive: true, force: true });
