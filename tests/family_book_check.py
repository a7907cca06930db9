#!/usr/bin/env python3
"""Opens a family book in a real headless browser and reports what a reader
would meet: family_book_check.py CHROMIUM PAGE SECTION

Starting at the book's index.html, every page that a link leads to is
opened. Prints one JSON object: the first page's title, how many pages
there are, how many creatures they list and describe in all, whether every
photo loaded, every link whose page or creature is not there, and, after a
click on the first parent link of SECTION on PAGE, where the browser went
and whether that creature's section is there."""
import json
import os
import pathlib
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

    def open_page(url):
        call('Page.navigate', url=url)
        wait_until(f'location.href.split("#")[0] === {json.dumps(url)} && document.readyState === "complete"')

    def wait_until(condition, seconds=60, fatal=True):
        deadline = time.time() + seconds
        while time.time() < deadline:
            try:
                if evaluate(condition):
                    return
            except (KeyError, ValueError):
                pass  # a page going away
            time.sleep(0.05)
        if fatal:
            raise SystemExit('the page did not load: ' + condition)

    start = (pathlib.Path(page).resolve().parent / 'index.html').as_uri()
    pages, queue = {}, [start]
    while queue:
        url = queue.pop(0)
        if url in pages:
            continue
        open_page(url)
        pages[url] = evaluate("""({
            title: document.title,
            listed: document.querySelectorAll("#list tbody tr").length,
            sections: document.querySelectorAll("section").length,
            images: document.images.length,
            imagesLoaded: [...document.images].every(i => i.complete && i.naturalWidth > 0),
            ids: [...document.querySelectorAll("[id]")].map(e => e.id),
            links: [...document.querySelectorAll("a[href]")].map(a => a.href),
        })""")
        for link in pages[url]['links']:
            target = link.split('#')[0]
            if target.startswith('file://') and target not in pages:
                queue.append(target)
    broken = []
    for info in pages.values():
        for link in info['links']:
            target, _, name = link.partition('#')
            if target not in pages or (name and name not in pages[target]['ids']):
                broken.append(link)
    report = {
        'title': pages[start]['title'],
        'pages': len(pages),
        'listed': sum(p['listed'] for p in pages.values()),
        'sections': sum(p['sections'] for p in pages.values()),
        'images': sum(p['images'] for p in pages.values()),
        'imagesLoaded': all(p['imagesLoaded'] for p in pages.values()),
        'broken': sorted(set(broken))[:10],
    }
    open_page(pathlib.Path(page).resolve().as_uri())
    report['clicked'] = evaluate(
        f'(() => {{ const a = document.querySelector("#{section} dd a"); if (!a) return null; a.click(); return a.textContent; }})()')
    # Where the click leads (a link that leads nowhere is reported below).
    wait_until('location.hash !== "" && document.readyState === "complete" && document.querySelector(location.hash) !== null',
               seconds=10, fatal=False)
    report['page'] = evaluate('location.pathname.split("/").pop()')
    report['hash'] = evaluate('location.hash')
    report['arrived'] = evaluate('(() => { const s = document.querySelector(location.hash); return s ? s.querySelector("h3").textContent : null; })()')
    print(json.dumps(report))
    ws.close()
finally:
    browser.kill()
    browser.wait()
