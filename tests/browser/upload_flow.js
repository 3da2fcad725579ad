// An operator and the sponsor in headless Chromium (Debian's), driven by
// puppeteer-core: the upload form sends a real log with JavaScript off, the
// receipt is read, the sponsor's "Check now" runs, and the operator's private
// link shows the checking report, with no sponsor credentials.
//   node upload_flow.js BASE_URL SPONSOR_KEY LOG_FILE CALL QSO_LINES ARTIFACT_DIR
const puppeteer = require('puppeteer-core');

const [base, sponsorKey, logFile, call, qsoLines, artifacts] = process.argv.slice(2);

function check(ok, what) {
  if (!ok) throw new Error(what);
}

(async () => {
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking'],
  });
  try {
    const operator = await browser.createBrowserContext();
    const page = await operator.newPage();
    await page.setJavaScriptEnabled(false);
    page.on('requestfailed', (r) => console.log(`request failed: ${r.method()} ${r.url()} ${r.failure().errorText}`));
    await page.goto(`${base}/upload`);
    const input = await page.$('input[type=file][name=log]');
    check(input, 'the upload page has no file field named log');
    await input.uploadFile(logFile);
    const [sent] = await Promise.all([page.waitForNavigation(), page.click('#send')]);
    check(sent && sent.status() === 200, `the upload was answered ${sent ? sent.status() : 'with nothing'}`);
    const heading = await page.$eval('h1', (h) => h.textContent).catch(() => `no heading at ${page.url()}`);
    check(heading === `Log received from ${call}`, `the receipt says "${heading}"`);
    const rows = await page.$$eval('tr', (trs) => trs.map((tr) => tr.textContent));
    check(rows.includes(`QSOs read${qsoLines}`), `the receipt's rows: ${JSON.stringify(rows)}`);
    const link = await page.$eval('#private-link', (a) => a.href);
    check(/\/log\/[0-9a-f]{32}$/.test(link), `the private link is ${link}`);
    await page.screenshot({ path: `${artifacts}/receipt.png`, fullPage: true });

    const sponsor = await browser.createBrowserContext();
    const office = await sponsor.newPage();
    await office.authenticate({ username: 'sponsor', password: sponsorKey });
    await office.goto(`${base}/sponsor`);
    check((await office.content()).includes(`>${call}</a>`), 'the sponsor page does not list the log');
    await Promise.all([office.waitForNavigation(), office.click('#check-now')]);
    const summary = await office.$eval('#message', (m) => m.textContent);
    check(summary.length > 0, 'check now said nothing');
    const results = await office.goto(`${base}/results.html`);
    check(results.status() === 200 && (await office.content()).includes(call), 'results.html does not carry the call');

    // The private page as the operator opens it: no credentials, the report there.
    await page.setJavaScriptEnabled(true);
    await page.goto(link);
    const report = await page.$eval('#report', (r) => r.textContent).catch(() => '');
    check(report.includes(call), `the private page has no report of ${call}`);
    const forged = await page.goto(link.replace(/.$/, (c) => (c === '0' ? '1' : '0')));
    check(forged.status() === 404, `a forged link gives ${forged.status()}`);
    console.log(`upload page: ${call}'s log sent with JavaScript off, receipt of ${qsoLines} QSOs, checked, report on its private page`);
  } finally {
    await browser.close();
  }
})().catch((e) => {
  console.log(`FAIL: ${e.message}`);
  process.exit(1);
});
