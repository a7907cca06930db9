#!/usr/bin/env python3
"""Opens a family book in a real headless browser and reports what a reader
would meet: family_book_check.py CHROMIUM PAGE SECTION

Prints one JSON object: the page's title, how many creatures it lists and
describes, whether every photo loaded, and, after a click on the first
parent link of SECTION, where the browser went and whether that creature's
section is there."""
import json
import os
import re
import subprocess
import sys
import tempfile
import time
import urllib.request

import websocket  # Debian's python3-websocket

chromium, page, section = sys.argv[1], sys.argv[2], sys.argv[3]
profile = tempfile.mkdtemp()
browser = subprocess.Popen(
    [chromium, '--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
     '--disable-background-networking', '--disable-component-update', '--disable-sync',
     '--allow-file-access-from-files', f'--user-data-dir={profile}', '--remote-debugging-port=0', 'about:blank'],
    stderr=subprocess.PIPE, stdout=subprocess.DEVNULL, text=True)
try:
    port = None
    deadline = time.time() + 60
    while port is None and time.time() < deadline:
        line = browser.stderr.readline()
        found = re.search(r'DevTools listening on ws://[^:]+:(\d+)/', line)
        if found:
            port = int(found.group(1))
    if port is None:
        raise SystemExit('the browser did not start')
    target = json.load(urllib.request.urlopen(
        urllib.request.Request(f'http://127.0.0.1:{port}/json/new?about:blank', method='PUT')))
    ws = websocket.create_connection(target['webSocketDebuggerUrl'], timeout=60)
    calls = iter(range(1, 1000000))

    def call(method, **params):
        ident = next(calls)
        ws.send(json.dumps({'id': ident, 'method': method, 'params': params}))
        while True:
            message = json.loads(ws.recv())
            if message.get('id') == ident:
                return message.get('result', {})

    def evaluate(expression):
        result = call('Runtime.evaluate', expression=expression, awaitPromise=True, returnByValue=True)
        return result.get('result', {}).get('value')

    call('Page.enable')
    call('Page.navigate', url='file://' + os.path.abspath(page))
    evaluate('new Promise(done => { const check = () => document.readyState === "complete" ? done() : setTimeout(check, 50); check(); })')
    report = {
        'title': evaluate('document.title'),
        'listed': evaluate('document.querySelectorAll("#list tbody tr").length'),
        'sections': evaluate('document.querySelectorAll("section").length'),
        'images': evaluate('document.images.length'),
        'imagesLoaded': evaluate('[...document.images].every(i => i.complete && i.naturalWidth > 0)'),
    }
    report['clicked'] = evaluate(
        f'(() => {{ const a = document.querySelector("#{section} dd a"); if (!a) return null; a.click(); return a.textContent; }})()')
    report['hash'] = evaluate('location.hash')
    report['arrived'] = evaluate('(() => { const s = document.querySelector(location.hash); return s ? s.querySelector("h3").textContent : null; })()')
    print(json.dumps(report))
    ws.close()
finally:
    browser.kill()
    browser.wait()
