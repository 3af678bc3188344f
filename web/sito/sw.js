// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the hosted page for offline use: everything is cached when the worker installs, and
// served from the cache first. A new version of the page comes with a new cache name.
"use strict";
const CACHE = "idrovela-@VERSIONE@";
const FILE = [
    "./",
    "./index.html",
    "./manifest.webmanifest",
    "./idrovela-192.png",
    "./idrovela-512.png",
];

self.addEventListener("install", evento => {
    evento.waitUntil(
        caches
            .open(CACHE)
            .then(cache => cache.addAll(FILE))
            .then(() => self.skipWaiting()),
    );
});

self.addEventListener("activate", evento => {
    evento.waitUntil(
        caches
            .keys()
            .then(nomi => Promise.all(nomi.filter(n => n !== CACHE).map(n => caches.delete(n))))
            .then(() => self.clients.claim()),
    );
});

self.addEventListener("fetch", evento => {
    if (evento.request.method !== "GET") return;
    evento.respondWith(
        caches
            .open(CACHE)
            .then(cache => cache.match(evento.request, { ignoreSearch: true }))
            .then(trovata => trovata || fetch(evento.request)),
    );
});
