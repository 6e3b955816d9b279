// Benchmark of the browser build in headless Chromium (figures only): the bytes transferred, as
// served and as gzip would send them; the time from loading the page to the first title frame;
// the page's CPU time per drawn stage frame; and the CPU share of the title over 10 s.
// Usage: node web.mjs SITE_FOLDER
import fs from "node:fs";
import { chromium } from "playwright-core";
import { Serve, Game } from "../e2e/webpage.mjs";

// Counts the frames the game's view puts on the canvas.
const FrameCounter = `(() => {
  globalThis.framesDrawn = 0;
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    globalThis.framesDrawn++;
    return put.apply(this, args);
  };
})();`;

// CPU seconds used so far by the browser and every process it started (renderer, GPU, audio):
// every process below this one.
function BrowserCpuSeconds(rootPid) {
  const ticks = 100; // USER_HZ
  const parents = new Map();
  for (const entry of fs.readdirSync("/proc")) {
    if (!/^\d+$/.test(entry)) continue;
    try {
      const stat = fs.readFileSync(`/proc/${entry}/stat`, "utf8");
      const fields = stat.slice(stat.lastIndexOf(")") + 2).split(" ");
      parents.set(Number(entry), { parent: Number(fields[1]),
                                   cpu: (Number(fields[11]) + Number(fields[12])) / ticks });
    } catch {
      // (a process that ended while the list was read)
    }
  }
  const inTree = (pid) => pid === rootPid || (parents.has(pid) && pid > 1 &&
                                              inTree(parents.get(pid).parent));
  let sum = 0;
  for (const [pid, info] of parents) if (pid !== rootPid && inTree(pid)) sum += info.cpu;
  return sum;
}

async function MainThreadSeconds(session) {
  const { metrics } = await session.send("Performance.getMetrics");
  return metrics.find((m) => m.name === "TaskDuration").value;
}

const [site] = process.argv.slice(2);
const server = await Serve(site);
const browser = await chromium.launch({ executablePath: "/usr/lib/chromium/chromium",
                                        args: ["--autoplay-policy=no-user-gesture-required"] });
const rootPid = process.pid;
try {
  const started = Date.now();
  const game = await Game.Open(browser, server.url, FrameCounter);
  await game.page.waitForSelector("#loading", { state: "hidden", timeout: 60000 });
  const loaded = (Date.now() - started) / 1000;
  await game.WaitForPicture(200, 30000);
  const toTitle = (Date.now() - started) / 1000;
  const session = await game.page.context().newCDPSession(game.page);
  await session.send("Performance.enable");

  const bytes = server.served.reduce((s, f) => s + f.bytes, 0);
  const gzipped = server.served.reduce((s, f) => s + f.gzipped, 0);
  for (const f of server.served)
    console.log(`  ${f.file.padEnd(36)} ${String(f.bytes).padStart(9)} B, ${String(f.gzipped).padStart(9)} B gzipped`);
  console.log(`transferred: ${(bytes / 1e6).toFixed(2)} MB as served, ` +
              `${(gzipped / 1e6).toFixed(2)} MB gzipped`);
  console.log(`load to first title frame: ${toTitle.toFixed(2)} s (the page's data and the ` +
              `SoundFont loaded after ${loaded.toFixed(2)} s)`);

  // The title, left alone for 10 s.
  await game.page.waitForTimeout(1000);
  let cpu = BrowserCpuSeconds(rootPid), main = await MainThreadSeconds(session);
  await game.page.waitForTimeout(10000);
  console.log(`title: ${(100 * (BrowserCpuSeconds(rootPid) - cpu) / 10).toFixed(1)} % of a core ` +
              `(all of the browser's processes), main thread ` +
              `${(100 * (await MainThreadSeconds(session) - main) / 10).toFixed(1)} %`);

  // Stage 1, left alone for 10 s: CPU per frame the game drew.
  await game.ClickAt(320, 240);
  await game.page.waitForTimeout(1500);
  cpu = BrowserCpuSeconds(rootPid);
  main = await MainThreadSeconds(session);
  const frames = await game.page.evaluate(() => globalThis.framesDrawn);
  await game.page.waitForTimeout(10000);
  const drawn = (await game.page.evaluate(() => globalThis.framesDrawn)) - frames;
  const perFrame = (seconds) => (1000 * seconds / Math.max(drawn, 1)).toFixed(2);
  console.log(`stage 1: ${drawn / 10} frames/s drawn; per drawn frame ` +
              `${perFrame(BrowserCpuSeconds(rootPid) - cpu)} ms CPU (all processes), main thread ` +
              `${perFrame(await MainThreadSeconds(session) - main)} ms`);
} finally {
  await browser.close();
  server.close();
}
