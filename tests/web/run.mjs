// The browser build in a real browser: Debian's Chromium, headless, driven over
// the DevTools protocol with puppeteer-core. The page is served as any reader
// would serve it (python3 -m http.server, no special headers) and played through
// as a reader would: start screen, intro with its tune, the change to the
// magazine, a click on CHARTS, Page Down, Escape. Frames are compared with the
// native magcapture's shots of the same moments, and what the audio graph played
// with the native renderers' output of the same tune and module.
//
//   node tests/web/run.mjs [--web build-web] [--host build] [--browser chromium|firefox]
//
// Firefox (Debian's firefox-esr, over WebDriver BiDi) runs the same checks
// without DevTools' own timings. Unlike Chromium it plays no sound without a
// sound server: start one with a silent sink first, e.g.
//   pulseaudio -D -n --exit-idle-time=-1 --load=module-null-sink --load=module-native-protocol-unix
// (PULSE_SERVER names its socket when it is not the default one).
// Screenshots, the references and measured.json go to build-web/web-test/.
// Prints one line per check and the measured frame rates; exits 1 when a check
// fails, 2 when something it needs is missing.
import {spawn, execFileSync} from 'node:child_process';
import crypto from 'node:crypto';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

import puppeteer from 'puppeteer-core';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const options = {web: 'build-web', host: 'build', browser: 'chromium'};
for (let i = 2; i < process.argv.length; i += 2) {
  const name = process.argv[i].replace(/^--/, '');
  if (!(name in options) || process.argv[i + 1] === undefined) {
    console.error(`web tests: unknown or incomplete option '${process.argv[i]}'`);
    process.exit(2);
  }
  options[name] = process.argv[i + 1];
}
function need(condition, message) {
  if (!condition) {
    console.error(`web tests: ${message}`);
    process.exit(2);
  }
}
const webDir = path.resolve(root, options.web);
const hostDir = path.resolve(root, options.host);
const outDir = path.join(webDir, 'web-test');   // served with the page: the references are read there
const firefox = options.browser === 'firefox';
need(firefox || options.browser === 'chromium', `--browser is chromium or firefox, not '${options.browser}'`);
const executable = firefox ? process.env.MAG_FIREFOX || '/usr/bin/firefox-esr'
                           : process.env.MAG_CHROMIUM || '/usr/bin/chromium';

need(fs.existsSync(executable), `no browser at ${executable}: install Debian's ` +
     (firefox ? 'firefox-esr (apt-get install firefox-esr)' : 'chromium (apt-get install chromium)'));
for (const file of ['index.html', 'magazine.js', 'magazine.wasm', 'wave_sink.js'])
  need(fs.existsSync(path.join(webDir, file)), `${options.web}/${file} is missing: run ./scripts/build-web.sh`);
for (const tool of ['magcapture', 'xmrender', 'sidrender'])
  need(fs.existsSync(path.join(hostDir, tool)), `${options.host}/${tool} is missing: build the native tools first`);

const recordSeconds = 4;
const viewport = {width: 1000, height: 700};   // not 4:3, so the canvas is scaled and letterboxed
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
let passed = 0;
let failed = 0;
function check(name, ok, detail) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${name}${detail ? ': ' + detail : ''}`);
  if (ok) passed++;
  else failed++;
  return ok;
}

// References from the native build: magcapture's shots of the same moments
// (served beside the page so the page can compare), the renderers' sound.
fs.rmSync(outDir, {recursive: true, force: true});
const refDir = path.join(outDir, 'reference');
fs.mkdirSync(refDir, {recursive: true});
fs.writeFileSync(path.join(refDir, 'tour.txt'),
    'wait 3\nkey escape\nwait 6\nshot rest.png\nclick 79 74\nwait 1\nshot charts.png\n' +
    'key pagedown\nwait 1\nshot pagedown.png\nkey escape\nwait 1\n');
execFileSync(path.join(hostDir, 'magcapture'), ['--script', path.join(refDir, 'tour.txt'), '--out', refDir]);
function pcm(tool, args) {
  const wav = path.join(refDir, tool + '.wav');
  execFileSync(path.join(hostDir, tool), [...args, '-o', wav, '--seconds', String(recordSeconds + 1)]);
  const bytes = fs.readFileSync(wav);
  let at = 12;
  while (bytes.toString('ascii', at, at + 4) !== 'data') at += 8 + bytes.readUInt32LE(at + 4);
  return bytes.subarray(at + 8, at + 8 + bytes.readUInt32LE(at + 4));
}
const modulePcm = pcm('xmrender', [path.join(root, 'assets/modules/module1.xm')]);
const tunePcm = pcm('sidrender', [path.join(root, 'assets/tunes/tune01.sid')]);

// The page, served as a reader would.
const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', webDir],
                     {stdio: ['ignore', 'pipe', 'pipe']});
const port = await new Promise((resolve, reject) => {
  const timer = setTimeout(() => reject(new Error('the web server did not start')), 10000);
  server.stdout.on('data', (data) => {
    const match = /port (\d+)/.exec(String(data));
    if (match) {
      clearTimeout(timer);
      resolve(Number(match[1]));
    }
  });
  server.on('exit', (code) => reject(new Error(`the web server ended (${code})`)));
});

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'orvella-chromium-'));
// A new empty profile; no background connections (the machine's network is closed).
const browser = await puppeteer.launch(firefox ? {
  browser: 'firefox',
  executablePath: executable,
  headless: true,
  userDataDir: profile,
  // Sound without a person's click in its history; the sound server's socket
  // may lie where the content sandbox would not let the audio code reach it.
  extraPrefsFirefox: {'media.autoplay.default': 0, 'media.autoplay.block-webaudio': false,
                      'media.cubeb.sandbox': false, 'security.sandbox.content.level': 0,
                      'network.captive-portal-service.enabled': false, 'app.update.enabled': false,
                      'browser.safebrowsing.update.enabled': false},
} : {
  executablePath: executable,
  headless: true,
  userDataDir: profile,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync', '--autoplay-policy=no-user-gesture-required'],
});
const version = await browser.version();
// A browser that hangs must not hang CI: the whole run takes about a minute.
const watchdog = setTimeout(() => {
  console.error('web tests: FAIL: no end after 5 minutes');
  browser.process()?.kill('SIGKILL');
  server.kill();
  process.exit(1);
}, 300000);

async function finish() {
  clearTimeout(watchdog);
  await browser.close().catch(() => {});
  server.kill();
  fs.rmSync(profile, {recursive: true, force: true});
  console.log(`web tests (${version}): ${passed} passed, ${failed} failed`);
  process.exit(failed ? 1 : 0);
}

async function strikeOn(page, key) {
  await page.keyboard.down(key);
  await sleep(80);
  await page.keyboard.up(key);
}

// F1 in the intro: tune 1 from its start (unless it already plays), which the
// mono device must play exactly as sidrender renders it.
async function strikeF1AndCompareTune(page, name) {
  await strikeOn(page, 'F1');
  await sleep((recordSeconds + 1) * 1000);
  const matches = await page.evaluate((expected) => {
    const bytes = Uint8Array.from(atob(expected), (c) => c.charCodeAt(0));
    const want = new Int16Array(bytes.buffer);
    return (window.Module.orvellaRecordings || []).filter((r) => r.channels === 1).map((r) => {
      const got = r.recording;
      let same = 0;
      while (same < got.length && same < want.length && got[same] === want[same]) same++;
      return {frames: got.length, same};
    });
  }, tunePcm.subarray(0, recordSeconds * 44100 * 2).toString('base64'));
  check(name, matches.some((m) => m.frames === recordSeconds * 44100 && m.same === m.frames),
        matches.map((m) => `${m.same} of ${m.frames} samples equal`).join('; '));
}

try {
  const page = await browser.newPage();
  const problems = [];
  page.on('pageerror', (error) => problems.push(error.message));
  page.on('console', (message) => {
    if (message.type() === 'error' && !/favicon/.test(message.location().url || '')) problems.push(message.text());
  });
  await page.setViewport(viewport);
  await page.goto(`http://127.0.0.1:${port}/?record=${recordSeconds}`);
  await page.waitForFunction(() => window.orvella.state === 'ready', {timeout: 60000});
  await page.screenshot({path: path.join(outDir, 'start.png')});

  // Where frame pixel (x, y) lies on the page: the canvas is scaled to fit.
  const box = await page.evaluate(() => {
    const r = document.getElementById('canvas').getBoundingClientRect();
    return {left: r.left, top: r.top, width: r.width, height: r.height};
  });
  const onPage = (x, y) => [box.left + (x + 0.5) * box.width / 800, box.top + (y + 0.5) * box.height / 600];
  check('the canvas keeps 4:3 and fills the height', Math.abs(box.width / box.height - 4 / 3) < 0.01 &&
        Math.abs(box.height - viewport.height) < 1, `${box.width.toFixed(1)} x ${box.height.toFixed(1)}`);

  // In-page helpers: lit pixels of the canvas, and its likeness to a reference shot.
  await page.evaluate(() => {
    const canvas = document.getElementById('canvas');
    const pixels = () => canvas.getContext('2d').getImageData(0, 0, 800, 600).data;
    const references = {};
    window.orvellaTest = {
      lit() {
        const data = pixels();
        let lit = 0;
        const colours = new Set();
        for (let i = 0; i < data.length; i += 4) {
          if (data[i] + data[i + 1] + data[i + 2] > 60) lit++;
          if (colours.size < 5000) colours.add((data[i] << 16) | (data[i + 1] << 8) | data[i + 2]);
        }
        return {lit: lit / (data.length / 4), colours: colours.size};
      },
      // Share of pixels equal to the reference, in the whole frame and in a box.
      async likeness(name, area) {
        if (!references[name]) {
          const image = await createImageBitmap(await (await fetch('web-test/reference/' + name)).blob());
          const scratch = new OffscreenCanvas(800, 600);
          scratch.getContext('2d').drawImage(image, 0, 0);
          references[name] = scratch.getContext('2d').getImageData(0, 0, 800, 600).data;
        }
        const a = pixels(), b = references[name];
        let same = 0, sameIn = 0, inArea = 0;
        for (let y = 0; y < 600; y++) {
          for (let x = 0; x < 800; x++) {
            const i = (y * 800 + x) * 4;
            const equal = a[i] === b[i] && a[i + 1] === b[i + 1] && a[i + 2] === b[i + 2];
            if (equal) same++;
            if (area && x >= area[0] && x < area[2] && y >= area[1] && y < area[3]) {
              inArea++;
              if (equal) sameIn++;
            }
          }
        }
        return {frame: same / 480000, area: area ? sameIn / inArea : null};
      },
      // The frame dimmed, with the pixels that differ from the reference in red.
      async difference(name) {
        await this.likeness(name, null);
        const a = pixels(), b = references[name];
        const scratch = new OffscreenCanvas(800, 600);
        const context = scratch.getContext('2d');
        const image = context.createImageData(800, 600);
        for (let i = 0; i < a.length; i += 4) {
          const equal = a[i] === b[i] && a[i + 1] === b[i + 1] && a[i + 2] === b[i + 2];
          image.data.set(equal ? [a[i] >> 2, a[i + 1] >> 2, a[i + 2] >> 2, 255] : [255, 0, 0, 255], i);
        }
        context.putImageData(image, 0, 0);
        const blob = await scratch.convertToBlob({type: 'image/png'});
        const bytes = new Uint8Array(await blob.arrayBuffer());
        let text = '';
        for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
        return btoa(text);
      },
    };
  });
  const lit = () => page.evaluate(() => window.orvellaTest.lit());
  // A failed likeness leaves its picture of the differences beside the screenshots.
  async function saveDifference(name) {
    const png = await page.evaluate((n) => window.orvellaTest.difference(n), name);
    fs.writeFileSync(path.join(outDir, name.replace('.png', '-difference.png')), Buffer.from(png, 'base64'));
  }
  const likeness = (name, area) => page.evaluate((n, a) => window.orvellaTest.likeness(n, a), name, area);
  async function waitForLikeness(name, area, wanted, timeoutMs) {
    const end = Date.now() + timeoutMs;
    let seen;
    do {
      seen = await likeness(name, area);
      if (seen.frame >= wanted.frame && (!area || seen.area >= wanted.area)) break;
      await sleep(100);
    } while (Date.now() < end);
    return seen;
  }
  const strike = (key) => strikeOn(page, key);
  // Frame rate and main-thread time over a stretch: the page's own count
  // (time the program kept the thread, between its waits) and DevTools'.
  async function measure(seconds) {
    const session = firefox ? null : await page.createCDPSession();
    if (session) await session.send('Performance.enable');
    const metric = async () => session ? Object.fromEntries(
        (await session.send('Performance.getMetrics')).metrics.map((m) => [m.name, m.value])) : {TaskDuration: NaN};
    const [s0, m0] = [await page.evaluate(() => window.orvella.stats()), await metric()];
    await sleep(seconds * 1000);
    const [s1, m1] = [await page.evaluate(() => window.orvella.stats()), await metric()];
    if (session) await session.detach();
    const frames = s1.frames - s0.frames;
    const wall = s1.at - s0.at;   // from a present to a present: the waits between them are all counted
    return {
      fps: frames * 1000 / wall,
      programMs: (wall - (s1.waitingMs - s0.waitingMs)) / frames,
      audioMs: (s1.backgroundMs - s0.backgroundMs) / frames,
      presentMs: (s1.presentingMs - s0.presentingMs) / frames,
      threadsMs: (s1.threadsMs - s0.threadsMs) / frames,
      taskMs: (m1.TaskDuration - m0.TaskDuration) * 1000 / frames,
      played: s1.framesPlayed - s0.framesPlayed,
      audioSeconds: s1.audioTime - s0.audioTime,
      starved: s1.framesStarved - s0.framesStarved,
    };
  }
  const describe = (m) => `${m.fps.toFixed(1)} frames/s; per frame ${m.programMs.toFixed(2)} ms in the program ` +
      `(${m.audioMs.toFixed(2)} music and audio feeding, of which ${m.threadsMs.toFixed(2)} music threads; ` +
      `${m.presentMs.toFixed(2)} putting the frame on the canvas), ` +
      (firefox ? 'no DevTools timings' : `${m.taskMs.toFixed(2)} ms main-thread tasks in all`);
  const records = {};

  const start = await lit();
  check('the first screen is drawn', start.lit > 0.005 && start.lit < 0.2, `${(start.lit * 100).toFixed(1)}% lit`);

  const [cx, cy] = onPage(400, 300);
  await page.mouse.click(cx, cy);
  await page.waitForFunction(() => window.orvella.state === 'running', {timeout: 10000});
  const audio = await page.evaluate(() => window.orvella.stats());
  check('the click starts the program and its audio graph', audio.audioState === 'running' && audio.audioWorklet,
        `context ${audio.audioState}, worklet ${audio.audioWorklet}`);

  // Release wait, 150 ms, three noise flashes of 0.5 s: then the intro.
  await sleep(3000);
  const intro = await lit();
  await page.screenshot({path: path.join(outDir, 'intro.png')});
  check('the intro is on the canvas', intro.lit > 0.03 && intro.colours > 200,
        `${(intro.lit * 100).toFixed(1)}% lit, ${intro.colours} colours`);
  records.intro = await measure(3);
  check('the tune plays: samples flow at the device rate, not silent',
        records.intro.played > 0.9 * 44100 * records.intro.audioSeconds && records.intro.starved < 4410,
        `${records.intro.played} frames in ${records.intro.audioSeconds.toFixed(2)} s of audio time, ` +
        `${records.intro.starved} starved`);
  console.log(`     intro: ${describe(records.intro)}`);

  await strikeF1AndCompareTune(page, 'tune 1 (F1) plays sample for sample as sidrender renders it');

  // Escape held 80 ms: six flashes, then the magazine with module 1.
  await strike('Escape');
  const rest = await waitForLikeness('rest.png', null, {frame: 0.9}, 15000);
  await page.screenshot({path: path.join(outDir, 'magazine.png')});
  if (!check('the magazine appears as magcapture shows it', rest.frame >= 0.9,
             `${(rest.frame * 100).toFixed(1)}% of the pixels equal`)) await saveDifference('rest.png');
  records.magazine = await measure(3);
  console.log(`     magazine: ${describe(records.magazine)}`);

  // Module 1 as played, after the 2 s ring has been refilled behind the cursor.
  await page.waitForFunction((n) => (window.Module.orvellaRecordings || []).some((r) => r.channels === 2 &&
      r.recording.length === n), {timeout: 10000}, recordSeconds * 44100 * 2).catch(() => {});
  const moduleMatch = await page.evaluate((expected) => {
    const bytes = Uint8Array.from(atob(expected), (c) => c.charCodeAt(0));
    const want = new Int16Array(bytes.buffer);
    const r = (window.Module.orvellaRecordings || []).find((r) => r.channels === 2);
    if (!r) return {frames: 0, same: 0};
    let same = 0;
    while (same < r.recording.length && same < want.length && r.recording[same] === want[same]) same++;
    return {frames: r.recording.length / 2, same: same / 2};
  }, modulePcm.subarray(0, recordSeconds * 44100 * 4).toString('base64'));
  check('module 1 plays frame for frame as xmrender renders it', moduleMatch.frames === recordSeconds * 44100 &&
        moduleMatch.same === moduleMatch.frames, `${moduleMatch.same} of ${moduleMatch.frames} frames equal`);
  check('the music keeps flowing in the magazine',
        records.magazine.played > 0.9 * 44100 * records.magazine.audioSeconds && records.magazine.starved < 4410,
        `${records.magazine.played} frames in ${records.magazine.audioSeconds.toFixed(2)} s, ` +
        `${records.magazine.starved} starved`);

  // Without the focus the program is not active: no frames, and its loops
  // sleep a frame at a time; the music goes on. The focus brings frames back.
  const statsNow = () => page.evaluate(() => window.orvella.stats());
  await page.evaluate(() => window.dispatchEvent(new FocusEvent('blur')));
  await sleep(200);
  const away = await statsNow();
  await sleep(1000);
  const stillAway = await statsNow();
  await page.evaluate(() => window.dispatchEvent(new FocusEvent('focus')));
  await sleep(500);
  const back = await statsNow();
  check('no frames while the page has lost the focus, frames again with it, music throughout',
        stillAway.frames === away.frames && back.frames - stillAway.frames > 10 &&
        stillAway.framesPlayed - away.framesPlayed > 0.8 * 44100 && stillAway.framesStarved === away.framesStarved,
        `${stillAway.frames - away.frames} frames away, ${back.frames - stillAway.frames} in 0.5 s back, ` +
        `${stillAway.framesPlayed - away.framesPlayed} audio frames played away`);

  // CHARTS, clicked where the scaled canvas shows it: the menu changes.
  const menu = [146, 60, 650, 119];   // the entries, without the rainbow lines above and below
  const before = await likeness('charts.png', menu);
  const [bx, by] = onPage(79, 74);
  await page.mouse.click(bx, by, {delay: 80});
  const charts = await waitForLikeness('charts.png', menu, {frame: 0.9, area: 0.99}, 5000);
  await page.screenshot({path: path.join(outDir, 'charts.png')});
  if (!check('a click on CHARTS shows the charts menu', charts.area >= 0.99 && before.area < 0.9,
             `menu box ${(before.area * 100).toFixed(1)}% -> ${(charts.area * 100).toFixed(1)}% like magcapture's`))
    await saveDifference('charts.png');

  await strike('PageDown');
  const down = await waitForLikeness('pagedown.png', [20, 192, 768, 570], {frame: 0.9, area: 0.97}, 5000);
  await page.screenshot({path: path.join(outDir, 'pagedown.png')});
  if (!check('Page Down moves the page view 33 lines', down.area >= 0.97,
             `page area ${(down.area * 100).toFixed(1)}% like magcapture's`)) await saveDifference('pagedown.png');

  // F: the browser's full screen, and back.
  const fullScreen = () => page.evaluate(() => document.fullscreenElement !== null);
  await strike('f');
  await sleep(500);
  const wentFull = await fullScreen();
  await strike('f');
  await sleep(500);
  const cameBack = !(await fullScreen());
  check('F takes the page to full screen and back', wentFull && cameBack, `full ${wentFull}, back ${cameBack}`);

  await strike('Escape');
  await page.waitForFunction(() => window.orvella.state === 'ended', {timeout: 10000}).catch(() => {});
  const end = await page.evaluate(() => ({state: window.orvella.state, status: window.orvella.exitStatus}));
  const endScreen = await lit();
  await page.screenshot({path: path.join(outDir, 'end.png')});
  check('Escape ends the issue with status 0 and the last screen', end.state === 'ended' && end.status === 0 &&
        endScreen.lit > 0.005 && endScreen.lit < 0.2, `${end.state}, status ${end.status}`);
  check('no errors on the page', problems.length === 0, problems.slice(0, 3).join(' | '));
  fs.writeFileSync(path.join(outDir, `measured-${options.browser}.json`), JSON.stringify({version, ...records}, null, 2) + '\n');
  await page.close();

  // Where no worklet can be had (a page not served from a secure origin) the
  // sinks run on the page's thread behind a ScriptProcessor: the same sound.
  const fallback = await browser.newPage();
  await fallback.goto(`http://127.0.0.1:${port}/?record=${recordSeconds}&sink=script`);
  await fallback.waitForFunction(() => window.orvella.state === 'ready', {timeout: 60000});
  await fallback.mouse.click(10, 10);
  await fallback.waitForFunction(() => window.orvella.state === 'running', {timeout: 10000});
  await sleep(2500);
  const sinkKind = await fallback.evaluate(() => window.orvella.stats().audioWorklet);
  await strikeF1AndCompareTune(fallback, 'without a worklet, tune 1 plays as sidrender renders it too');
  check('the stand-in sink was the one playing', sinkKind === false, `worklet ${sinkKind}`);
  await fallback.close();
} catch (error) {
  check('the run completes', false, String(error && error.stack || error));
}
await finish();
