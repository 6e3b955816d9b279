// What the browser's end-to-end run and benchmark share: a static server for the web build's
// folder on 127.0.0.1, a meter of the sound the page renders, and the game's page in headless
// Chromium with its canvas read back in the game's own client coordinates.
import fs from "node:fs";
import http from "node:http";
import path from "node:path";
import zlib from "node:zlib";

const types = {
  ".html": "text/html; charset=utf-8", ".js": "text/javascript", ".wasm": "application/wasm",
  ".data": "application/octet-stream", ".sf2": "application/octet-stream",
  ".txt": "text/plain; charset=utf-8", ".png": "image/png",
};

// Serves folder; `served` lists every response's file and size, as sent and as gzip would send it.
export function Serve(site) {
  const folder = path.resolve(site);
  const served = [];
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, "http://x").pathname);
    const file = path.join(folder, name.endsWith("/") ? name + "index.html" : name);
    if (!file.startsWith(folder + path.sep) || !fs.existsSync(file) ||
        !fs.statSync(file).isFile()) {
      served.push({ file: name, missing: true });
      response.writeHead(404).end();
      return;
    }
    const body = fs.readFileSync(file);
    served.push({ file: name, bytes: body.length, gzipped: zlib.gzipSync(body).length });
    response.writeHead(200, { "Content-Type": types[path.extname(file)] || "application/octet-stream",
                              "Content-Length": body.length, "Cache-Control": "no-store" });
    response.end(body);
  });
  return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve({
    url: `http://127.0.0.1:${server.address().port}/`, served,
    close: () => server.close(),
  })));
}

// Counts the buffers that SDL's audio callback fills in the page, and those that are not silent.
export const AudioMeter = `(() => {
  const meter = globalThis.audioMeter = { buffers: 0, loud: 0 };
  const setter = Object.getOwnPropertyDescriptor(ScriptProcessorNode.prototype, "onaudioprocess").set;
  const make = AudioContext.prototype.createScriptProcessor;
  AudioContext.prototype.createScriptProcessor = function (...args) {
    const node = make.apply(this, args);
    Object.defineProperty(node, "onaudioprocess", { set(handler) {
      setter.call(node, (event) => {
        handler(event);
        meter.buffers++;
        const samples = event.outputBuffer.getChannelData(0);
        if (samples.some((s) => Math.abs(s) > 0.001)) meter.loud++;
      });
    } });
    return node;
  };
})();`;

// The game's client area, as the layer's window has it.
const clientWidth = 632, clientHeight = 449;

export class Game {
  // Opens the page; with damageArchive the archive inside the preloaded data loses the last
  // character of its magic on the way.
  static async Open(browser, url, initScript, options = {}) {
    const context = await browser.newContext({ viewport: { width: 1024, height: 768 } });
    const page = await context.newPage();
    const game = new Game(page);
    if (initScript) await page.addInitScript(initScript);
    if (options.damageArchive) {
      await page.route("**/Quellmark.data", async (route) => {
        const response = await route.fetch();
        const body = Buffer.from(await response.body());
        const script = await (await fetch(new URL("Quellmark.js", url))).text();
        const start = Number(/"filename":\s*"\/game\/Quellmark.zrm",\s*"start":\s*(\d+)/
                                 .exec(script)[1]);
        body[start + 19] ^= 0x20;
        await route.fulfill({ response, body });
      });
    }
    await page.goto(url);
    return game;
  }

  constructor(page) {
    this.page = page;
    this.errors = [];
    this.crashes = [];
    page.on("console", (message) => {
      if (message.type() === "error") this.errors.push(message.text());
    });
    page.on("pageerror", (error) => {
      this.crashes.push(String(error));
      this.errors.push(String(error));
    });
  }

  // Waits for the page to load; clicks its start button where the browser holds sound back (it
  // may not: Chromium lets an origin that played sound before start it at once).
  async Start() {
    await this.page.waitForSelector("#loading", { state: "hidden", timeout: 60000 });
    if (await this.page.isVisible("#start")) await this.page.click("#startButton");
  }

  // Where the client area lies in the canvas's pixels, and the canvas in the page.
  async View() {
    return this.page.evaluate(([w, h]) => {
      const canvas = document.getElementById("canvas");
      const box = canvas.getBoundingClientRect();
      const scale = Math.min(canvas.width / w, canvas.height / h);
      return { left: (canvas.width - w * scale) / 2, top: (canvas.height - h * scale) / 2, scale,
               width: w * scale, height: h * scale, canvasWidth: canvas.width,
               canvasHeight: canvas.height, pageLeft: box.left, pageTop: box.top,
               pageScale: box.width / canvas.width };
    }, [clientWidth, clientHeight]);
  }

  // The client area's pixels in the rectangle x, y, width, height of client coordinates: their
  // number of colours, a hash of them, and with withData their RGBA bytes. (Only small areas
  // should come back whole: the copy to the test is slow and holds the page's game up.)
  async Pixels(x = 0, y = 0, width = clientWidth, height = clientHeight, withData = false) {
    const view = await this.View();
    return this.page.evaluate(([view, x, y, width, height, withData]) => {
      const canvas = document.getElementById("canvas");
      const copy = document.createElement("canvas");
      copy.width = width;
      copy.height = height;
      const context = copy.getContext("2d");
      context.imageSmoothingEnabled = false;
      context.drawImage(canvas, view.left + x * view.scale, view.top + y * view.scale,
                        width * view.scale, height * view.scale, 0, 0, width, height);
      const data = context.getImageData(0, 0, width, height).data;
      const colours = new Set();
      let hash = 2166136261;
      for (let i = 0; i < data.length; i += 4) {
        const colour = (data[i] << 16) | (data[i + 1] << 8) | data[i + 2];
        colours.add(colour);
        hash = Math.imul(hash ^ colour, 16777619) >>> 0;
      }
      return { colours: colours.size, hash, data: withData ? Array.from(data) : null };
    }, [view, x, y, width, height, withData]);
  }

  // Waits for the client area to show more than `colours` colours.
  async WaitForPicture(colours, timeout) {
    const until = Date.now() + timeout;
    for (;;) {
      const pixels = await this.Pixels();
      if (pixels.colours > colours || Date.now() > until) return pixels;
      await this.page.waitForTimeout(100);
    }
  }

  // A board cell's inner pixels: cells lie 63.2 x 59.85 client pixels apart from (39.8, 81).
  async Cell(column, row) {
    const pixels = await this.Pixels(Math.round(45 + column * 63.2), Math.round(86 + row * 59.85),
                                     46, 46, true);
    return pixels.data;
  }

  // A click held for 100 ms, as a player's is: the game looks at the button once a frame.
  async ClickAt(x, y, button = "left") {
    const view = await this.View();
    await this.page.mouse.move(view.pageLeft + (view.left + x * view.scale) * view.pageScale,
                               view.pageTop + (view.top + y * view.scale) * view.pageScale);
    await this.page.mouse.down({ button });
    await this.page.waitForTimeout(100);
    await this.page.mouse.up({ button });
  }

  async ClickCell(column, row) {
    await this.ClickAt(68 + column * 63.2, 109 + row * 59.85);
    await this.page.waitForTimeout(200);
  }

  // The focus frame follows the mouse over the board: the mouse goes to the panel beside it.
  async MoveAway() {
    await this.page.mouse.move(1000, 750);
  }

  async WaitForError(pattern, timeout) {
    const until = Date.now() + timeout;
    while (Date.now() < until) {
      const found = this.errors.find((e) => pattern.test(e));
      if (found) return found;
      await this.page.waitForTimeout(200);
    }
    return null;
  }

  async Shot(folder, name) {
    await this.page.screenshot({ path: path.join(folder, `${name}.png`) });
  }
}
