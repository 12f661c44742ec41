#include "tools/page/assets.h"

namespace scenario {

const char kPageStyle[] = R"css(
:root { --inchiostro: #282830; --grigio: #6f6f78; --riga: #e2e4ea; --blu: #1c4ea0;
        --rosso: #b42318; --giallo: #f0be14; --fondo: #f6f7f9; }
* { box-sizing: border-box; }
body { margin: 0; font: 14px/1.45 "DejaVu Sans", Verdana, Arial, sans-serif;
       color: var(--inchiostro); background: #fff; }
header.testata { padding: 18px 28px 10px; border-bottom: 1px solid var(--riga); }
header.testata h1 { margin: 0 0 2px; font-size: 24px; }
header.testata p { margin: 0 0 10px; color: var(--grigio); }
dl.conti { display: flex; flex-wrap: wrap; gap: 6px 22px; margin: 0; }
dl.conti div { display: flex; gap: 6px; }
dl.conti dt { color: var(--grigio); }
dl.conti dd { margin: 0; font-weight: bold; }
nav.indice { padding: 8px 28px; background: var(--fondo); border-bottom: 1px solid var(--riga);
             position: sticky; top: 0; z-index: 3; }
nav.indice a { margin-right: 16px; color: var(--blu); text-decoration: none; }
main { padding: 0 28px 40px; }
section { margin-top: 26px; }
h2 { font-size: 18px; margin: 0 0 8px; }
.comandi { display: flex; flex-wrap: wrap; align-items: center; gap: 6px 14px; margin-bottom: 8px; }
.comandi .gruppo { display: inline-flex; align-items: center; gap: 4px; }
.comandi button { font: inherit; min-width: 30px; padding: 2px 8px; border: 1px solid #b8bcc8;
                  border-radius: 4px; background: #fff; cursor: pointer; }
.comandi button:hover { background: var(--fondo); }
.aiuto { color: var(--grigio); font-size: 12.5px; }
.foglio { display: flex; gap: 16px; align-items: flex-start; }
.foglio .tela { flex: 1 1 auto; min-width: 0; border: 1px solid var(--riga); }
.foglio svg { display: block; width: 100%; height: auto; touch-action: none; user-select: none; }
aside#dettagli { flex: 0 0 290px; width: 290px; min-width: 0; position: sticky; top: 48px; padding: 12px 14px;
                 border: 1px solid var(--riga); border-radius: 6px; background: var(--fondo);
                 font-size: 13px; }
aside#dettagli h3 { margin: 0 0 2px; font-size: 16px; }
aside#dettagli .km { margin: 0 0 8px; color: var(--blu); font-weight: bold; }
aside#dettagli table { border-collapse: collapse; width: 100%; }
aside#dettagli th { text-align: left; font-weight: normal; color: var(--grigio); padding: 1px 8px 1px 0;
                    vertical-align: top; white-space: nowrap; }
aside#dettagli td { padding: 1px 0; }
aside#dettagli .vuoto { color: var(--grigio); margin: 0; }
pre.sorgente, code.sorgente { font: 12px/1.4 "DejaVu Sans Mono", Consolas, monospace;
                              background: #fff; border: 1px solid var(--riga); border-radius: 4px; }
pre.sorgente { margin: 6px 0 0; padding: 4px 6px; white-space: pre; overflow-x: auto; }
code.sorgente { padding: 0 4px; white-space: pre; }
.luogo { color: var(--grigio); font-size: 12px; }
#suggerimento { position: fixed; z-index: 5; pointer-events: none; padding: 3px 7px;
                background: rgba(40, 40, 48, 0.92); color: #fff; border-radius: 4px; font-size: 12px; }
svg [data-key] { cursor: pointer; }
svg .scelto circle, svg .scelto rect, svg .scelto polygon { stroke: #e0218a; stroke-width: 2.5; }
svg .scelto text { fill: #e0218a; }
.scorre { overflow-x: auto; max-width: 100%; }
table.dati { border-collapse: collapse; font-size: 13px; }
table.dati th, table.dati td { padding: 3px 10px 3px 0; border-bottom: 1px solid var(--riga);
                               text-align: left; vertical-align: top; }
table.dati th { font-weight: bold; color: var(--grigio); white-space: nowrap; }
table.dati td { white-space: nowrap; }
table.dati td:first-child { white-space: normal; }
table.dati td.num { text-align: right; font-variant-numeric: tabular-nums; }
table.dati tr[data-key] { cursor: pointer; }
table.dati tr[data-key]:hover { background: var(--fondo); }
.vuota { color: var(--grigio); }
ul.problemi { list-style: none; margin: 0; padding: 0; }
ul.problemi li { margin: 0 0 12px; padding: 8px 12px; border-left: 4px solid var(--rosso);
                 background: #fdf3f2; }
ul.problemi li.avviso { border-left-color: var(--giallo); background: #fffaeb; }
ul.problemi .titolo { font-weight: bold; }
ul.problemi .nota { margin-top: 4px; font-size: 13px; }
a.vai { color: var(--blu); margin-left: 8px; font-size: 13px; }
footer { padding: 14px 28px; color: var(--grigio); font-size: 12px; border-top: 1px solid var(--riga); }
@page { size: A4 landscape; margin: 10mm; }
@media print {
  body { font-size: 10.5px; }
  nav.indice, .comandi, aside#dettagli, #suggerimento, a.vai { display: none !important; }
  main { padding: 0; }
  header.testata, footer { padding-left: 0; padding-right: 0; }
  .foglio .tela { border: none; }
  .foglio svg { width: auto; max-width: 100%; max-height: 160mm; margin: 0 auto; }
  section { break-inside: auto; }
  section#disegno { break-after: page; }
  .scorre { overflow: visible; }
  table.dati { width: 100%; font-size: 9.5px; }
  table.dati td { white-space: normal; }
  tr { break-inside: avoid; }
}
)css";

const char kPageScript[] = R"js(
(function () {
  'use strict';
  var svg = document.getElementById('disegno-svg');
  var datiEl = document.getElementById('dati');
  var dati = datiEl ? JSON.parse(datiEl.textContent) : { cose: {}, geometria: null };
  var cose = dati.cose || {};
  var pannello = document.getElementById('dettagli');
  var suggerimento = document.getElementById('suggerimento');
  var NS = 'http://www.w3.org/2000/svg';
  if (!svg) return;

  // --- zoom and pan --------------------------------------------------------
  // Each area (the plan, the profiles) keeps its zoom k and shift tx, ty:
  // a point x, y of the drawing is shown at x * k + tx, y * k + ty ("xy")
  // or at x * k + tx, y ("x").
  var aree = {};
  function numeri(testo) { return testo.split(/[\s,]+/).filter(Boolean).map(Number); }
  function ricorda(el, area) {
    var t = el.tagName.toLowerCase(), o = { el: el, tipo: t };
    if (t === 'line') {
      o.v = ['x1', 'y1', 'x2', 'y2'].map(function (a) { return +el.getAttribute(a); });
    } else if (t === 'polyline' || t === 'polygon') {
      o.v = numeri(el.getAttribute('points') || '');
    } else if (t === 'rect') {
      o.v = ['x', 'y', 'width', 'height'].map(function (a) { return +el.getAttribute(a); });
    } else if (t === 'circle') {
      o.v = [+el.getAttribute('cx'), +el.getAttribute('cy')];
    } else if (t === 'text') {
      o.v = [+el.getAttribute('x'), +el.getAttribute('y')];
      var r = /rotate\(([-\d.]+)/.exec(el.getAttribute('transform') || '');
      o.angolo = r ? +r[1] : null;
    } else {
      return;
    }
    area.voci.push(o);
  }
  function raccogli(g, area) {
    Array.prototype.forEach.call(g.children, function (el) {
      if (el.tagName.toLowerCase() === 'g') {
        if (el.classList.contains('segno')) {
          area.segni.push({ el: el, ax: +el.getAttribute('data-ax'), ay: +el.getAttribute('data-ay') });
        } else {
          raccogli(el, area);
        }
      } else {
        ricorda(el, area);
      }
    });
  }
  Array.prototype.forEach.call(svg.querySelectorAll('g.zoom'), function (g) {
    var id = g.getAttribute('data-zoom-id');
    var area = aree[id];
    if (!area) {
      area = aree[id] = { id: id, modo: g.getAttribute('data-zoom'), k: 1, tx: 0, ty: 0,
                          tagli: [], voci: [], segni: [], gruppi: [] };
    }
    area.tagli.push(numeri(g.getAttribute('data-clip')));
    area.gruppi.push(g);
    raccogli(g, area);
  });
  // What an area always shows: the part all its clips share (the plot
  // itself, without the margins some panels keep for their names).
  Object.keys(aree).forEach(function (id) {
    var a = aree[id], t = a.tagli;
    a.x0 = Math.max.apply(null, t.map(function (c) { return c[0]; }));
    a.x1 = Math.min.apply(null, t.map(function (c) { return c[0] + c[2]; }));
    a.y0 = Math.max.apply(null, t.map(function (c) { return c[1]; }));
    a.y1 = Math.min.apply(null, t.map(function (c) { return c[1] + c[3]; }));
    a.kMax = a.modo === 'xy' ? 40 : 80;
  });

  function applica(a) {
    var k = a.k, tx = a.tx, ty = a.modo === 'xy' ? a.ty : 0, ky = a.modo === 'xy' ? k : 1;
    function fx(x) { return x * k + tx; }
    function fy(y) { return y * ky + ty; }
    a.voci.forEach(function (o) {
      var el = o.el, v = o.v;
      if (o.tipo === 'line') {
        el.setAttribute('x1', fx(v[0])); el.setAttribute('y1', fy(v[1]));
        el.setAttribute('x2', fx(v[2])); el.setAttribute('y2', fy(v[3]));
      } else if (o.tipo === 'polyline' || o.tipo === 'polygon') {
        var p = [];
        for (var i = 0; i + 1 < v.length; i += 2) p.push(fx(v[i]).toFixed(2) + ',' + fy(v[i + 1]).toFixed(2));
        el.setAttribute('points', p.join(' '));
      } else if (o.tipo === 'rect') {
        el.setAttribute('x', fx(v[0])); el.setAttribute('y', fy(v[1]));
        el.setAttribute('width', v[2] * k); el.setAttribute('height', v[3] * ky);
      } else if (o.tipo === 'circle') {
        el.setAttribute('cx', fx(v[0])); el.setAttribute('cy', fy(v[1]));
      } else if (o.tipo === 'text') {
        var x = fx(v[0]), y = fy(v[1]);
        el.setAttribute('x', x); el.setAttribute('y', y);
        if (o.angolo !== null) el.setAttribute('transform', 'rotate(' + o.angolo + ' ' + x + ' ' + y + ')');
      }
    });
    a.segni.forEach(function (s) {
      var dx = fx(s.ax) - s.ax, dy = fy(s.ay) - s.ay;
      if (dx === 0 && dy === 0) s.el.removeAttribute('transform');
      else s.el.setAttribute('transform', 'translate(' + dx.toFixed(2) + ' ' + dy.toFixed(2) + ')');
    });
    if (a.id === 'profili') chilometri(a);
    if (a.modo === 'xy') {
      Array.prototype.forEach.call(svg.querySelectorAll('g.scala'), function (g) {
        var testo = g.querySelector('text');
        if (testo) testo.textContent = formatoKm(+g.getAttribute('data-metri') / k) + ' km';
      });
    }
  }
  // Zoomed along the route, the kilometre axis gets labels of its own
  // between those of the drawing, a round step apart.
  function chilometri(a) {
    Array.prototype.forEach.call(svg.querySelectorAll('.km-zoom'), function (el) { el.parentNode.removeChild(el); });
    var geo = dati.geometria, asse = a.gruppi[a.gruppi.length - 1];
    if (!geo || !geo.estensione || a.k <= 1.001) return;
    function metro(x) { return ((x - a.tx) / a.k - geo.sinistra) / geo.larghezza * geo.estensione; }
    var da = Math.max(metro(a.x0), 0), fino = Math.min(metro(a.x1), geo.estensione);
    var grezzo = (fino - da) / 8, potenza = Math.pow(10, Math.floor(Math.log10(Math.max(grezzo, 1))));
    var passo = [1, 2, 5, 10].map(function (m) { return m * potenza; }).filter(function (p) { return p >= grezzo; })[0];
    var decimali = passo >= 1000 ? 0 : passo >= 100 ? 1 : passo >= 10 ? 2 : 3;
    for (var m = Math.ceil(da / passo) * passo; m <= fino; m += passo) {
      if (geo.passo && Math.abs(m / geo.passo - Math.round(m / geo.passo)) < 1e-9) continue;
      var x = (geo.sinistra + m / geo.estensione * geo.larghezza) * a.k + a.tx;
      var t = document.createElementNS(NS, 'text');
      t.setAttribute('class', 'km-zoom');
      t.setAttribute('x', x); t.setAttribute('y', geo.asse + 21);
      t.setAttribute('font-size', '10'); t.setAttribute('fill', '#787880');
      t.setAttribute('text-anchor', 'middle');
      t.textContent = (m / 1000).toFixed(decimali).replace('.', ',');
      asse.appendChild(t);
      var l = document.createElementNS(NS, 'line');
      l.setAttribute('class', 'km-zoom');
      l.setAttribute('x1', x); l.setAttribute('x2', x);
      l.setAttribute('y1', geo.asse); l.setAttribute('y2', geo.asse + 5);
      l.setAttribute('stroke', '#787880');
      asse.appendChild(l);
    }
  }
  // Keeps the drawing over the whole area: no empty margin at any side.
  function limita(a) {
    a.k = Math.min(Math.max(a.k, 1), a.kMax);
    a.tx = Math.min(Math.max(a.tx, a.x1 - a.x1 * a.k), a.x0 - a.x0 * a.k);
    if (a.modo === 'xy') a.ty = Math.min(Math.max(a.ty, a.y1 - a.y1 * a.k), a.y0 - a.y0 * a.k);
  }
  function ingrandisci(a, fattore, px, py) {
    var k = Math.min(Math.max(a.k * fattore, 1), a.kMax), f = k / a.k;
    a.tx = px - (px - a.tx) * f;
    if (a.modo === 'xy') a.ty = py - (py - a.ty) * f;
    a.k = k;
    limita(a);
    applica(a);
  }
  function azzera(a) { a.k = 1; a.tx = 0; a.ty = 0; applica(a); }
  function formatoKm(m) {
    var km = m / 1000, d = km >= 10 ? 0 : km >= 1 ? 1 : km >= 0.1 ? 2 : 3;
    return km.toFixed(d).replace('.', ',');
  }

  function puntoSvg(e) {
    var p = svg.createSVGPoint();
    p.x = e.clientX; p.y = e.clientY;
    var m = svg.getScreenCTM();
    return m ? p.matrixTransform(m.inverse()) : p;
  }
  function areaIn(p) {
    var trovata = null;
    Object.keys(aree).forEach(function (id) {
      aree[id].tagli.forEach(function (c) {
        if (p.x >= c[0] && p.x <= c[0] + c[2] && p.y >= c[1] && p.y <= c[1] + c[3]) trovata = aree[id];
      });
    });
    return trovata;
  }
  svg.addEventListener('wheel', function (e) {
    var p = puntoSvg(e), a = areaIn(p);
    if (!a) return;
    e.preventDefault();
    ingrandisci(a, Math.exp(-e.deltaY * (e.deltaMode === 1 ? 0.05 : 0.0015)), p.x, p.y);
  }, { passive: false });
  var presa = null, trascinato = false;
  svg.addEventListener('pointerdown', function (e) {
    if (e.button !== 0) return;
    var p = puntoSvg(e), a = areaIn(p);
    trascinato = false;
    if (a) presa = { a: a, x: p.x, y: p.y, tx: a.tx, ty: a.ty, cx: e.clientX, cy: e.clientY, id: e.pointerId };
  });
  svg.addEventListener('pointermove', function (e) {
    if (!presa) return;
    if (!trascinato && Math.abs(e.clientX - presa.cx) + Math.abs(e.clientY - presa.cy) < 5) return;
    if (!trascinato) {
      trascinato = true;
      if (svg.setPointerCapture) svg.setPointerCapture(presa.id);
    }
    var p = puntoSvg(e), a = presa.a;
    a.tx = presa.tx + (p.x - presa.x);
    if (a.modo === 'xy') a.ty = presa.ty + (p.y - presa.y);
    limita(a);
    applica(a);
  });
  function lascia() { presa = null; }
  svg.addEventListener('pointerup', lascia);
  svg.addEventListener('pointercancel', lascia);
  svg.addEventListener('dblclick', function (e) {
    var a = areaIn(puntoSvg(e));
    if (a) { e.preventDefault(); azzera(a); }
  });
  Array.prototype.forEach.call(document.querySelectorAll('button[data-area]'), function (b) {
    b.addEventListener('click', function () {
      var a = aree[b.getAttribute('data-area')];
      if (!a) return;
      var azione = b.getAttribute('data-azione');
      if (azione === 'azzera') { azzera(a); return; }
      ingrandisci(a, azione === 'piu' ? 2 : 0.5, (a.x0 + a.x1) / 2, (a.y0 + a.y1) / 2);
    });
  });

  // --- details ---------------------------------------------------------------
  function testo(tag, classe, contenuto) {
    var el = document.createElement(tag);
    if (classe) el.className = classe;
    if (contenuto !== undefined) el.textContent = contenuto;
    return el;
  }
  function mostra(chiave) {
    var c = cose[chiave];
    if (!c || !pannello) return;
    pannello.textContent = '';
    pannello.appendChild(testo('h3', '', c.titolo));
    pannello.appendChild(testo('p', 'km', c.km));
    var t = document.createElement('table');
    c.valori.forEach(function (v) {
      var r = document.createElement('tr');
      r.appendChild(testo('th', '', v[0]));
      r.appendChild(testo('td', '', v[1]));
      t.appendChild(r);
    });
    pannello.appendChild(t);
    if (c.sorgente) {
      pannello.appendChild(testo('p', 'luogo', 'posto da ' + c.sorgente.luogo));
      pannello.appendChild(testo('pre', 'sorgente', c.sorgente.riga));
    }
    Array.prototype.forEach.call(svg.querySelectorAll('.scelto'), function (el) { el.classList.remove('scelto'); });
    Array.prototype.forEach.call(svg.querySelectorAll('[data-key="' + chiave + '"]'), function (el) {
      el.classList.add('scelto');
    });
  }
  svg.addEventListener('click', function (e) {
    if (trascinato) { trascinato = false; return; }
    var el = e.target.closest ? e.target.closest('[data-key]') : null;
    if (el && svg.contains(el)) mostra(el.getAttribute('data-key'));
  });
  svg.addEventListener('mouseover', function (e) {
    var el = e.target.closest ? e.target.closest('[data-key]') : null;
    var c = el ? cose[el.getAttribute('data-key')] : null;
    if (!c || !suggerimento) { if (suggerimento) suggerimento.hidden = true; return; }
    suggerimento.textContent = c.titolo + ' \u2014 ' + c.km;
    suggerimento.hidden = false;
  });
  svg.addEventListener('mousemove', function (e) {
    if (suggerimento && !suggerimento.hidden) {
      suggerimento.style.left = (e.clientX + 14) + 'px';
      suggerimento.style.top = (e.clientY + 12) + 'px';
    }
  });
  svg.addEventListener('mouseleave', function () { if (suggerimento) suggerimento.hidden = true; });

  // --- to a metre of the route ---------------------------------------------
  var g = dati.geometria;
  function vai(metro) {
    if (!g) return;
    var x = g.sinistra + Math.min(Math.max(metro / g.estensione, 0), 1) * g.larghezza;
    var p = aree.profili;
    if (p) {
      var kp = Math.max(p.k, 16);
      p.k = kp; p.tx = (p.x0 + p.x1) / 2 - x * kp;
      limita(p); applica(p);
      segnaMetro(p, x);
    }
    var pl = aree.planimetria;
    if (pl && g.piano && g.piano.length) {
      var vicino = g.piano[0];
      g.piano.forEach(function (q) { if (Math.abs(q[0] - metro) < Math.abs(vicino[0] - metro)) vicino = q; });
      var kq = Math.max(pl.k, 8);
      pl.k = kq;
      pl.tx = (pl.x0 + pl.x1) / 2 - vicino[1] * kq;
      pl.ty = (pl.y0 + pl.y1) / 2 - vicino[2] * kq;
      limita(pl); applica(pl);
    }
  }
  // A dashed line at x across the profiles, moved like everything else.
  function segnaMetro(a, x) {
    Array.prototype.forEach.call(svg.querySelectorAll('.metro-scelto'), function (el) { el.parentNode.removeChild(el); });
    a.voci = a.voci.filter(function (o) { return o.el.parentNode; });
    a.gruppi.forEach(function (gr, i) {
      var c = a.tagli[i], l = document.createElementNS(NS, 'line');
      l.setAttribute('class', 'metro-scelto');
      l.setAttribute('stroke', '#e0218a'); l.setAttribute('stroke-width', '2');
      l.setAttribute('stroke-dasharray', '6 4');
      gr.appendChild(l);
      a.voci.push({ el: l, tipo: 'line', v: [x, c[1], x, c[1] + c[3]] });
    });
    applica(a);
  }
  Array.prototype.forEach.call(document.querySelectorAll('a.vai'), function (link) {
    link.addEventListener('click', function () {
      vai(+link.getAttribute('data-metro'));
      var chiave = link.getAttribute('data-key');
      if (chiave) mostra(chiave);
    });
  });
  Array.prototype.forEach.call(document.querySelectorAll('table.dati tr[data-key]'), function (r) {
    r.addEventListener('click', function (e) {
      if (e.target.closest && e.target.closest('a')) return;
      var c = cose[r.getAttribute('data-key')];
      if (!c) return;
      vai(c.metro);
      mostra(r.getAttribute('data-key'));
      document.getElementById('disegno').scrollIntoView();
    });
  });
  window.scenarioRapporto = { aree: aree, mostra: mostra, vai: vai };
})();
)js";

}  // namespace scenario
