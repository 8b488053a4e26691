// Both programs' page in the system's Chromium, as a user sees it, and on the
// virtual clock every frame's indices equal to the Linux build's headless run.
// node check.mjs BASE_URL LINUX_DIGESTS_FOLDER FRAMES SCREENSHOT.png
import { chromium } from 'playwright-core';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
const [base, digestFolder, frames, screenshot] = process.argv.slice(2);
const BACKGROUND = [0x24, 0x78, 0x78];  // the colour that the die's frames are cleared to
let failures = 0;
const check = (ok, what) => { console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`); failures += !ok; };

const profile = mkdtempSync(join(tmpdir(), 'cubes-chromium-'));
const browser = await chromium.launchPersistentContext(profile, {
  executablePath: '/usr/bin/chromium', headless: true, viewport: { width: 1400, height: 1100 },
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'],
});
try {
  const page = await browser.newPage();
  // Everything comes from the one local folder.
  page.on('request', (request) => request.url().startsWith(base) || check(false, `a request outside the folder: ${request.url()}`));
  page.on('pageerror', (error) => check(false, `page error ${error.message}`));
  const ended = () => page.waitForSelector('body[data-exit-code]', { timeout: 60000 });
  const status = () => page.textContent('#status');
  const exitCode = () => page.getAttribute('body', 'data-exit-code');
  for (const program of ['dice', 'wirecube']) {
    await page.goto(`${base}/?program=${program}&frames=${frames}`);
    await ended();
    const digests = await page.evaluate(() => Module.digests);
    const linux = readFileSync(join(digestFolder, `${program}.digest`), 'utf8').trim().split('\n');
    check(linux.length === Number(frames), `${program}: the Linux run gave ${linux.length} frames`);
    const first = linux.findIndex((line, k) => line !== digests[k]);
    check(digests.length === linux.length && first < 0,
      `${program}: ${digests.length} frames on the virtual clock equal Linux's (first difference: ${first})`);
    check(await exitCode() === '0', `${program}: ended with 0`);
  }
  await page.goto(`${base}/?program=dice`);
  const canvas = page.locator('#screen');
  // The canvas's pixels: at the corners the background, in the middle the die.
  const pixel = (x, y) => canvas.evaluate((c, [x, y]) => [...c.getContext('2d').getImageData(x, y, 1, 1).data.slice(0, 3)], [x, y]);
  const picture = () => canvas.evaluate((c) => c.toDataURL());
  await page.waitForFunction(() => document.getElementById('screen').getContext('2d').getImageData(5, 5, 1, 1).data[3] === 255);
  await page.waitForTimeout(1000);
  const distance = (a, b) => Math.max(...a.map((v, i) => Math.abs(v - b[i])));
  for (const [x, y] of [[5, 5], [634, 5], [5, 474], [634, 474]])
    check(distance(await pixel(x, y), BACKGROUND) <= 8, `background at (${x}, ${y}): ${await pixel(x, y)}`);
  check(distance(await pixel(320, 240), BACKGROUND) > 40, `the die in the middle: ${await pixel(320, 240)}`);
  const [width, height, rendering] = await canvas.evaluate((c) => [c.clientWidth, c.clientHeight, getComputedStyle(c).imageRendering]);
  check(width % 640 === 0 && width * 3 === height * 4 && rendering === 'pixelated', `the canvas is shown at ${width} x ${height}`);
  await canvas.screenshot({ path: screenshot });
  check(/running/.test(await status()), 'the page says the die is running');
  // Hiding the page, or leaving it while in full screen, takes the display away: no frames until it is back.
  const signal = (name) => page.evaluate((name) => window.dispatchEvent(new Event(name)), name);
  const setHidden = (hidden) => page.evaluate((hidden) => {
    Object.defineProperty(document, 'hidden', { value: hidden, configurable: true });
    document.dispatchEvent(new Event('visibilitychange'));
  }, hidden);
  async function awayAndBack(what, away, back) {
    const before = await picture();
    await away(), await page.waitForTimeout(200);
    const still = await picture();
    check(before !== still, `${what}: the die moved before`);
    await page.waitForTimeout(300), check(still === await picture(), `${what}: no frames while away`);
    await back(), await page.waitForTimeout(300), check(still !== await picture(), `${what}: the die moves again once back`);
  }
  await awayAndBack('page hidden', () => setHidden(true), () => setHidden(false));
  await canvas.click();
  const full = await canvas.evaluate((c) => [!!document.fullscreenElement, c.clientWidth * 3 === c.clientHeight * 4]);
  check(full[0] && full[1], `a click gives full screen with the picture's aspect: ${full}`);
  await awayAndBack('focus lost in full screen', () => signal('blur'), () => signal('focus'));
  await page.keyboard.press('Escape'), await ended();
  check(/dice has ended\./.test(await status()), `after Escape the page says: ${await status()}`);
  // Message boxes are an element of the page; the run goes on when each is dismissed.
  await page.goto(`${base}/?program=dice&fail=DirectDrawCreate`);
  for (const text of ['DirectDrawCreate FAILED', 'DirectDraw init failed. The sample will now exit.']) {
    await page.waitForSelector('#message:not([hidden])');
    check((await page.textContent('#message .text')).trim() === text, `a message box says: ${text}`);
    await page.click('#message button');
  }
  await ended();
  check(/dice has ended \(exit code 1\)/.test(await status()) && await exitCode() === '1', `after the messages: ${await status()}`);
} finally {
  await browser.close(), rmSync(profile, { recursive: true, force: true });
}
console.log(failures ? `${failures} browser check(s) failed` : 'all browser checks passed');
process.exit(failures ? 1 : 0);
