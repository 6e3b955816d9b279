// End-to-end in the browser: serves the web build's folder on 127.0.0.1 and plays it in headless
// Chromium as a player would (the start click, the title, a click into stage 1, a swap, F2 to the
// clear scene, Esc), checking the canvas's pixels, the sound the page renders and the console;
// then serves a damaged archive and checks the game's own answer. Screenshots go to ARTIFACTS.
// Usage: node web.mjs SITE_FOLDER ARTIFACTS
import fs from "node:fs";
import path from "node:path";
import { chromium } from "playwright-core";
import { Serve, AudioMeter, Game } from "./webpage.mjs";

const [site, artifacts] = process.argv.slice(2);
fs.mkdirSync(artifacts, { recursive: true });

function Fail(text) {
  throw new Error(text);
}

function Check(condition, text) {
  if (!condition) Fail(text);
}

// Mean brightness (0 to 255) of RGBA pixels, their alpha left out.
function Brightness(pixels) {
  let sum = 0;
  for (let i = 0; i < pixels.length; ++i) if (i % 4 !== 3) sum += pixels[i];
  return sum / (pixels.length * 3 / 4);
}

// Mean absolute difference of two equally sized pixel lists (0 to 255).
function Difference(a, b) {
  let sum = 0;
  for (let i = 0; i < a.length; ++i) sum += Math.abs(a[i] - b[i]);
  return sum / a.length;
}

const server = await Serve(site);
const browser = await chromium.launch({ executablePath: "/usr/lib/chromium/chromium" });
let current = null; // the game being played, shown when a case fails
try {
  await PlayThrough();
  await DamagedArchive();
} catch (error) {
  console.log(`FAIL: ${error.message}`);
  if (current) {
    await current.Shot(artifacts, "web-failure").catch(() => {});
    console.log(`console of the failed case: ${current.errors.join(" | ")}`);
  }
  process.exitCode = 1;
} finally {
  await browser.close();
  server.close();
}
if (!process.exitCode) console.log("web: all cases passed");

// The whole path a player takes, from the start click to the ended page.
async function PlayThrough() {
  const game = await Game.Open(browser, server.url, AudioMeter);
  current = game;
  // Where the browser holds sound back until a click, the page says so and waits for it.
  await game.page.waitForSelector("#loading", { state: "hidden", timeout: 60000 });
  await game.Shot(artifacts, "web-start");
  const waited = await game.page.isVisible("#start");
  await game.Start();

  const title = await game.WaitForPicture(200, 15000);
  await game.Shot(artifacts, "web-title");
  Check(title.colours > 200, `the title shows ${title.colours} colours`);
  // The canvas fills the 1024 x 768 page; the picture keeps its shape, so black bars stand above
  // and below it, and its first and last rows are the title's.
  const view = await game.View();
  Check(view.canvasWidth === 1024 && view.canvasHeight === 768,
        `the canvas is ${view.canvasWidth}x${view.canvasHeight}`);
  const rows = await game.page.evaluate(() => {
    const context = document.getElementById("canvas").getContext("2d");
    const mean = (y) => context.getImageData(0, y, 1024, 1).data.reduce((s, v) => s + v, 0) / 4096;
    return [mean(0), mean(19), mean(21), mean(746), mean(748), mean(767)];
  });
  Check(rows[0] === 63.75 && rows[1] === 63.75 && rows[4] === 63.75 && rows[5] === 63.75,
        `the bars are not black: ${rows}`);
  Check(rows[2] > 70 && rows[3] > 70, `the picture does not reach its edges: ${rows}`);

  // F11 asks the browser for full screen and back; the picture stays.
  for (const wanted of [true, false]) {
    await game.page.keyboard.press("F11");
    await game.page.waitForTimeout(1000);
    const full = await game.page.evaluate(() => document.fullscreenElement !== null);
    Check(full === wanted, `F11 left full screen ${full ? "on" : "off"}`);
    Check((await game.Pixels()).colours > 200, "F11 lost the picture");
  }

  // A click starts stage 1: the 5 x 5 board holds tiles (the deal bursts the groups it made, at
  // times ten cells or more, and one tile comes back a second), and each cell shows something
  // other than the title did there.
  const titleCells = [];
  for (let row = 0; row < 5; ++row)
    for (let column = 0; column < 5; ++column) titleCells.push(await game.Cell(column, row));
  await game.ClickAt(320, 240);
  await game.page.waitForTimeout(1500);
  await game.MoveAway();
  await game.page.waitForTimeout(300);
  await game.Shot(artifacts, "web-stage");
  const cells = [];
  for (let row = 0; row < 5; ++row)
    for (let column = 0; column < 5; ++column) cells.push(await game.Cell(column, row));
  const empty = cells.filter((c) => Brightness(c) < 12).length;
  Check(empty <= 15, `stage 1 shows ${empty} empty cells of 25`);
  const changed = cells.filter((c, i) => Difference(c, titleCells[i]) > 10).length;
  Check(changed >= 20, `only ${changed} cells of 25 changed from the title`);

  // A swap by two clicks: the first of two neighbouring cells of different pictures takes the
  // second's picture (unless the swap made a group, which then explodes: the next pair is tried).
  let swapped = false;
  for (let row = 0; row < 5 && !swapped; ++row) {
    for (let column = 0; column < 4 && !swapped; ++column) {
      const a = await game.Cell(column, row);
      const b = await game.Cell(column + 1, row);
      if (Difference(a, b) < 20 || Brightness(a) < 12 || Brightness(b) < 12) continue;
      await game.ClickCell(column, row);
      await game.ClickCell(column + 1, row);
      await game.MoveAway();
      await game.page.waitForTimeout(150);
      const after = await game.Cell(column, row);
      swapped = Difference(after, b) < Difference(after, a) / 2;
      if (!swapped) { // a right click drops a selection a missed click may have left
        await game.ClickAt(68 + column * 63.2, 109 + row * 59.85, "right");
        await game.page.waitForTimeout(200);
      }
    }
  }
  Check(swapped, "no swap changed the board");
  await game.Shot(artifacts, "web-swapped");
  Check((await game.page.evaluate(() => globalThis.audioMeter.loud)) > 0,
        "no sound was rendered during stage 1");

  // F2 clears the stage: the clear scene freezes the stage's last frame under its caption, so
  // the countdown no longer changes the picture.
  await game.page.keyboard.press("F2");
  await game.page.waitForTimeout(3000);
  const first = await game.Pixels();
  await game.page.waitForTimeout(1200);
  const second = await game.Pixels();
  await game.Shot(artifacts, "web-clear");
  Check(first.hash === second.hash, "the clear scene's picture still changes");

  // Esc ends the game: the page says so, and the sound stops.
  await game.page.keyboard.press("Escape");
  await game.page.waitForSelector("#ended", { state: "visible", timeout: 5000 });
  await game.page.waitForTimeout(300);
  const loud = await game.page.evaluate(() => globalThis.audioMeter.loud);
  await game.page.waitForTimeout(1000);
  const later = await game.page.evaluate(() => globalThis.audioMeter.loud);
  await game.Shot(artifacts, "web-ended");
  Check(later === loud, `sound went on after Esc (${later - loud} loud buffers)`);
  Check(game.errors.length === 0, `the console shows errors: ${game.errors.join(" | ")}`);
  await game.page.context().close();
  console.log(`web: played through (the page ${waited ? "waited for a click" : "started at once"}` +
              `); title ${title.colours} colours`);
}

// A damaged archive served in place of the real one: the game logs that it could not unpack it
// (its log goes to the console as well) and goes on without its pictures; the page still answers.
async function DamagedArchive() {
  const game = await Game.Open(browser, server.url, "", { damageArchive: true });
  current = game;
  await game.Start();
  const logged = await game.WaitForError(/\[Archive\] ヘッダ異常/, 10000);
  Check(logged, `no log line of the unpack: ${game.errors.join(" | ")}`);
  await game.Shot(artifacts, "web-damaged");
  Check(game.crashes.length === 0, `the page failed: ${game.crashes.join(" | ")}`);
  await game.page.keyboard.press("Escape");
  await game.page.waitForSelector("#ended", { state: "visible", timeout: 5000 });
  await game.page.context().close();
  console.log(`web: a damaged archive logged ${JSON.stringify(logged.split("\n")[1].trim())}`);
}
